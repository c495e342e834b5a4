// pairwise_node_fit: node_log_likelihood when the run's model is the pairwise
// one: the fit on the workspace's pairwise storage, the node's proportions and
// mean pair count in means, and the fit's bookkeeping in the workspace.
#include "model/node_fit.h"
#include "model/node_stats.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"

double pairwise_node_fit(const int* stats, int n, real* means, fit_workspace& ws) {
    const int q = n_outcomes;
    if (ws.pairwise.doubles == nullptr) fatal_error("pairwise model without its work storage");
    const double value = pairwise_log_likelihood(stats, n, ws.pairwise);
    ws.fitted = n > 0 ? 1 : 0;
    ws.n_retained = n > 0 ? q : 0;
    for (int j = 0; j < ws.n_retained; j++) ws.retained[j] = j;
    ws.passes = ws.pairwise.iterations;
    ws.stop_rule = ws.pairwise.converged ? fit_stop_gradient : fit_stop_passes;
    ws.capped_trials = 0;
    if (n > 0) {
        for (int j = 0; j < q; j++) means[j] = static_cast<real>(static_cast<double>(stats[j]) / n);
        means[q] = static_cast<real>(static_cast<double>(stats[pair_total_index(q)]) / n);
    }
    return value;
}
