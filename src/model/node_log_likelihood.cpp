// node_log_likelihood: the node value n * (mean log-likelihood at the fitted
// parameters) from a node_stats summary of n cases, with the fitted parameters,
// the means and the normaliser; outcomes that are 0 or 1 in every case are
// removed from the fit. With the pairwise model selected, both entries hand the
// fit to pairwise_node_fit.
#include <cmath>
#include <vector>

#include "model/node_fit.h"
#include "model/node_model.h"
#include "model/node_stats.h"
#include "model/svdcmp.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"

namespace {

inline real R(double x) {
    return static_cast<real>(x);
}

// Moves the statistics of the retained outcomes and the pair count to rows
// and columns 1 .. m+1 of cov, in that order.
void compact_covariance(real** cov, const int* retained, int m, int q) {
    for (int r = 1; r <= m; r++) {
        const int from = retained[r - 1] + 1;
        for (int k = 1; k <= q + 1; k++) cov[r][k] = cov[from][k];
    }
    for (int k = 1; k <= q + 1; k++) cov[m + 1][k] = cov[q + 1][k];
    for (int row = 1; row <= q + 1; row++) {
        for (int r = 1; r <= m; r++) cov[row][r] = cov[row][retained[r - 1] + 1];
        cov[row][m + 1] = cov[row][q + 1];
    }
}

// Everything before the decomposition: the covariance matrix, the means and
// the start values, with the removed outcomes taken out. Returns the size c of
// the matrix to decompose, 0 when the node's value is 0 without a fit, or -1
// when the mean pair count is negative (which must end the run).
int prepare_fit(const int* stats, int n, real* params, real* means, fit_workspace& ws, int quiet) {
    ws.quiet = quiet;
    ws.failed = 0;
    ws.n_retained = 0;
    ws.fitted = 0;
    ws.passes = 0;
    ws.stop_rule = fit_stop_none;
    ws.capped_trials = 0;
    if (n <= 0) return 0;
    const int q = n_outcomes;
    const int P = pair_total_index(q);
    real** cov = ws.cov_matrix;
    node_covariance(stats, cov, n);

    for (int j = 0; j < q; j++) means[j] = R(static_cast<double>(stats[j]) / n);
    means[q] = R(static_cast<double>(stats[P]) / n);
    if (!(means[q] >= 0.0f)) return -1;

    const int m = start_parameters(means, q, params, ws.retained);
    ws.n_retained = m;
    if (m == 0) return 0;

    if (m < q) {
        compact_covariance(cov, ws.retained, m, q);
        for (int r = 0; r < m; r++) means[r] = means[ws.retained[r]];
        // The pattern sum counts pairs among the retained outcomes only, so the
        // observed pair count must too: with an always-1 outcome removed, T
        // would count pairs the model cannot produce and the objective would
        // have no finite maximum. With only always-0 outcomes removed this is T/n.
        long pairs = 0;
        for (int a = 0; a < m; a++)
            for (int b = a + 1; b < m; b++)
                pairs += stats[cross_index(q, ws.retained[a], ws.retained[b])];
        means[m] = R(static_cast<double>(pairs) / n);
    }
    return m + 1;
}

// Everything after the decomposition (ok its result): the step matrix and the
// Newton iteration, and the node value.
double finish_fit(int c, int ok, int n, real* params, real* means, real* normaliser,
                  fit_workspace& ws) {
    real** cov = ws.cov_matrix;
    // Step matrix: the generalised inverse of the covariance matrix plus the
    // projector onto its retained directions, written over the decomposition.
    const real* w = ws.singular_values;
    real** v = ws.svd_v;
    for (int i = 0; i < c; i++)
        for (int j = 0; j < c; j++) cov[i][j] = 0.0f;
    if (ok) {
        // The directions kept, in order (on the stack unless q is unusually large).
        int kept_local[64];
        std::vector<int> kept_heap;
        if (c >= 64) kept_heap.resize(static_cast<size_t>(c) + 1);
        int* kept = c < 64 ? kept_local : kept_heap.data();
        int n_kept = 0;
        for (int l = 1; l <= c; l++)
            if (w[l] > 1e-7) kept[n_kept++] = l;
        // Entry (j, i) takes the same terms in the same order as (i, j), the
        // products v[i+1][l] v[j+1][l] being equal, so it is the same real.
        for (int i = 0; i < c; i++) {
            for (int j = i; j < c; j++) {
                real entry = 0.0f;
                for (int k = 0; k < n_kept; k++) {
                    const int l = kept[k];
                    const double vv = static_cast<double>(v[i + 1][l]) * v[j + 1][l];
                    entry = R(entry + vv / w[l]);
                    entry = R(entry + vv);
                }
                cov[i][j] = entry;
                cov[j][i] = entry;
            }
        }
    }
    if (!ok) return 0.0;

    ws.fitted = 1;
    return static_cast<double>(n) * newton_fit(params, means, cov, c, normaliser, ws);
}

} // namespace

double node_log_likelihood(const int* stats, int n, real* params, real* means, real* normaliser,
                           fit_workspace& ws) {
    if (node_model == node_model_pairwise) return pairwise_node_fit(stats, n, means, ws);
    const int c = prepare_fit(stats, n, params, means, ws, 0);
    if (c < 0) fatal_error("ey cannot be negative\n");
    if (c == 0) return 0.0;
    // The step matrix needs the singular values and V only.
    const int ok =
        SVDCMP(ws.cov_matrix, c, c, ws.singular_values, ws.svd_v, ws.superdiagonal, false);
    return finish_fit(c, ok, n, params, means, normaliser, ws);
}

bool quiet_log_likelihood(const node_fit_call& f, double* value) {
    if (node_model == node_model_pairwise) {
        *value = pairwise_node_fit(f.stats, f.n, f.means, *f.ws);
        return true;
    }
    *value = 0.0;
    const int c = prepare_fit(f.stats, f.n, f.params, f.means, *f.ws, 1);
    if (c < 0) return false;
    if (c == 0) return true;
    fit_workspace& ws = *f.ws;
    if (svd_quiet(ws.cov_matrix, c, ws.singular_values, ws.svd_v, ws.superdiagonal) !=
        svd_converged)
        return false;
    *value = finish_fit(c, 1, f.n, f.params, f.means, f.normaliser, ws);
    return ws.failed == 0;
}

bool quiet_pair_log_likelihood(const node_fit_call& first, const node_fit_call& second,
                               double* values) {
    if (node_model == node_model_pairwise) {
        values[0] = pairwise_node_fit(first.stats, first.n, first.means, *first.ws);
        values[1] = pairwise_node_fit(second.stats, second.n, second.means, *second.ws);
        return true;
    }
    const node_fit_call* calls[2] = {&first, &second};
    int c[2];
    svd_job jobs[2];
    for (int t = 0; t < 2; t++) {
        const node_fit_call& f = *calls[t];
        c[t] = prepare_fit(f.stats, f.n, f.params, f.means, *f.ws, 1);
        if (c[t] < 0) return false;
        jobs[t] = {f.ws->cov_matrix,    c[t],         f.ws->singular_values, f.ws->svd_v,
                   f.ws->superdiagonal, svd_converged};
    }
    if (c[0] > 0 && c[1] > 0) {
        svd_pair(jobs[0], jobs[1]);
    } else {
        for (int t = 0; t < 2; t++)
            if (c[t] > 0)
                jobs[t].outcome =
                    svd_quiet(jobs[t].a, jobs[t].n, jobs[t].w, jobs[t].v, jobs[t].work);
    }
    for (int t = 0; t < 2; t++) {
        const node_fit_call& f = *calls[t];
        values[t] = 0.0;
        if (c[t] == 0) continue;
        if (jobs[t].outcome != svd_converged) return false;
        values[t] = finish_fit(c[t], 1, f.n, f.params, f.means, f.normaliser, *f.ws);
        if (f.ws->failed) return false;
    }
    return true;
}
