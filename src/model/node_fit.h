// The node model's maximum-likelihood fit: node_log_likelihood (entry),
// newton_fit (iteration), enumerate_patterns (sums over all patterns) and
// mat_vec (matrix times vector).
#pragma once

#include "model/fit_workspace.h"
#include "numeric/real.h"

// Node value n * (mean log-likelihood at the fitted parameters), unrounded; the
// caller rounds it where it stores it. params and means need q+1 entries.
// The normaliser is written only when the fit reaches the iteration.
//
// With the pairwise model selected (model/node_model.h) the fit is that of
// pairwise_node_fit: params and the normaliser are not written; the fitted
// parameters and ln Z are in ws.pairwise (params, log_normaliser).
double node_log_likelihood(const int* stats, int n, real* params, real* means, real* normaliser,
                           fit_workspace& ws);

// One node fit's arguments, for quiet_pair_log_likelihood.
struct node_fit_call {
    const int* stats;
    int n;
    real* params;
    real* means;
    real* normaliser;
    fit_workspace* ws;
};

// node_log_likelihood of two nodes, values[0] and values[1], in separate
// workspaces, for the split search: both decompositions run interleaved, and
// neither fit prints anything or stops the run. Returns false when either
// fit fails (a decomposition that does not converge or meets an exactly zero
// divisor, a negative mean pair count, a normaliser that is not positive):
// such a pair has no value. Otherwise both values are those of
// node_log_likelihood.
bool quiet_pair_log_likelihood(const node_fit_call& first, const node_fit_call& second,
                               double* values);

// The same for one node: false when the fit fails, else its value in *value.
bool quiet_log_likelihood(const node_fit_call& f, double* value);

// The pairwise model's node fit (model/pairwise_fit.h) with the common
// bookkeeping: ws.fitted is 1 and every outcome counts as retained when n > 0,
// ws.passes holds the Newton iterations and ws.stop_rule fit_stop_gradient
// when the tolerance was met (fit_stop_passes otherwise); means receives the
// q proportions and the mean pair count. Returns the node value.
double pairwise_node_fit(const int* stats, int n, real* means, fit_workspace& ws);

// Start values from the stored proportions means[0 .. q-1]: the logit of each
// outcome with 0 < p_j < 1, ascending, then 0 for the association parameter; a
// value beyond [-3, 3] becomes -1. retained receives the outcomes kept; returns
// their number m (params gets m+1 entries).
int start_parameters(const real* means, int q, real* params, int* retained);

// Newton iteration on c statistics with step matrix M (0-based c x c).
real newton_fit(real* params, real* means, real** M, int c, real* normaliser, fit_workspace& ws);

// A and E (K+1 entries) at params (K outcome parameters, then the association
// parameter) over all 2^q pattern indices. Returns 1 when some exponent had to
// be capped at 50, else 0.
int enumerate_patterns(const real* params, real* A, real* E, int K, int* bits, fit_workspace& ws);

// out[r] = sum over k < ncols of M[r][k] x[k], r < nrows; the running sum is
// stored as a real after each term.
void mat_vec(real** M, int ncols, int nrows, const real* x, real* out);
