// pairwise_score_terms: the negated log-likelihood of the held-out cases of
// the current pruned fold tree under the pairwise model, node by node, each
// node's cases under that node's fit.
#include "cv/fold_steps.h"
#include "model/pairwise_fit.h"
#include "numeric/run_counts.h"

// Every held-out case counts, also one alone in its node: the score is then
// the held-out log-likelihood summed over all held-out subjects.
int pairwise_score_terms(int** test_outcomes, const int* test_node, int c, double* terms,
                         int n_nodes, double** node_params, const double* node_log_normaliser,
                         int** stats_table, int* held_out) {
    held_out_stats(test_outcomes, test_node, c, n_nodes, stats_table, held_out);
    int n_terms = 0;
    for (int t = 0; t < n_nodes; t++) {
        if (held_out[t] == 0) continue;
        terms[n_terms++] = pairwise_held_out_score(node_params[t], node_log_normaliser[t],
                                                   stats_table[t], held_out[t], n_outcomes);
    }
    return n_terms;
}
