// The pairwise node model: for a response pattern y in {0,1}^q,
//
//   P(y) = exp(sum_j theta_j y_j + sum_{j<k} omega_jk y_j y_k) / Z,
//
// one main effect per outcome and one association per pair of outcomes. Its
// sufficient statistics are the outcome sums S_j and the pair sums S_jk of a
// node_stats vector. The parameter vector (and every statistics vector here)
// holds D = q + q(q-1)/2 entries: theta_0 .. theta_{q-1}, then omega_jk for
// j < k, j ascending and k ascending within j (pairwise_index).
//
// The fit maximises the log-likelihood of the node's cases plus that of two
// prior cases spread evenly over the 2^q patterns (pairwise_prior_weight), by
// Newton's method with the exact information matrix and a backtracking line
// search; docs/pairwise_model.md gives the reasons. Plain double arithmetic;
// every sum runs in a fixed order, so a fit gives the same bits on any thread.
#pragma once

// Weight, in cases, of the prior: two cases spread evenly over the 2^q
// patterns, so that every pair's 2 x 2 table gets half a case per cell.
constexpr double pairwise_prior_weight = 2.0;

// The iteration stops when the Newton decrement lambda^2 = g' I^-1 g (g the
// gradient and I the information matrix of the prior-augmented mean
// log-likelihood) is at most this: the objective per case is then within
// about lambda^2 / 2 of its maximum and the parameters within lambda = 1e-9 of
// the maximiser in the information metric.
constexpr double pairwise_tolerance = 1e-18;
constexpr int pairwise_max_iterations = 100;

// Work storage of pairwise fits for q outcomes (q <= pairwise_max_outcomes),
// sized once; fits running at the same time each need their own.
struct pairwise_workspace {
    int q = 0;
    int D = 0;           // q + q(q-1)/2 parameters
    long n_patterns = 0; // 2^q
    // Parameter-free tables. pair_row[l] + k is the index of omega_lk (l < k);
    // stat_mask[d] has the bits of the outcomes whose product statistic d is
    // (one bit for a main effect, two for a pair).
    int* pair_row = nullptr;  // q
    int* stat_mask = nullptr; // D
    // Scratch of one fit.
    double* eta = nullptr;           // 2^q: exponent, then weight, of each pattern
    double* expected = nullptr;      // D: E(u) under the model
    double* information = nullptr;   // D x D, row-major: Cov(u) under the model
    double* factor = nullptr;        // D x D: Cholesky factor of the information
    double* pivot_inverse = nullptr; // D: 1 / diagonal of the factor
    double* target = nullptr;        // D: prior-augmented mean statistics
    double* gradient = nullptr;      // D
    double* step = nullptr;          // D
    double* trial = nullptr;         // D
    // The last fit: its parameters, its log normaliser ln Z, the Newton
    // iterations and pattern passes it took, and whether it met the tolerance.
    double* params = nullptr; // D
    double log_normaliser = 0;
    int iterations = 0;
    int passes = 0;
    int converged = 0;
    // One block for all doubles, one for all ints.
    double* doubles = nullptr;
    int* ints = nullptr;
};

void alloc_pairwise_workspace(pairwise_workspace& pw, int q);
void release_pairwise_workspace(pairwise_workspace& pw);

// Index of omega_jk (j < k) in a parameter or statistics vector.
inline int pairwise_index(int q, int j, int k) {
    return q + j * q - j * (j + 1) / 2 + (k - j - 1);
}

// The D sufficient statistics (S_j, then S_jk) of a node_stats vector.
void pairwise_statistics(const int* stats, int q, double* s);

// ln Z at beta (D entries) over all 2^q patterns. With moments set it also
// fills pw.expected with E(u) and pw.information with Cov(u) under the model.
double pairwise_pattern_pass(const double* beta, pairwise_workspace& pw, int moments);

// Fits the model to the n cases that stats (a node_stats vector) summarises.
// Returns the node value: the log-likelihood of those n cases at the fitted
// parameters (the prior cases not included), at most 0. pw.params and
// pw.log_normaliser receive the fit; n <= 0 gives 0 and the uniform model.
double pairwise_log_likelihood(const int* stats, int n, pairwise_workspace& pw);

// The negated log-likelihood of m cases summarised by stats under the model
// with parameters params and log normaliser log_normaliser:
// m ln Z - sum_d params_d s_d, summed in parameter order.
double pairwise_held_out_score(const double* params, double log_normaliser, const int* stats, int m,
                               int q);
