// enumerate_patterns: the normaliser A and the expected statistics E of the
// node model at given parameters, summed over all 2^q pattern indices from the
// workspace's precomputed pattern table.
//
// For pattern index i the exponent is eta = sum of theta_j over the set bits j
// < K (ascending j, in double) plus t * omega, with t the pair count of those
// bits; eta is capped at 50 and e = exp(eta) is rounded to a real. A and each
// E_l are rounded after every term, in index order. Bits K .. q-1 of an index
// are ignored, so when K < q the 2^K distinct exponentials repeat in blocks and
// are computed once per call.
#include <cmath>

#include "model/node_fit.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"

int enumerate_patterns(const real* params, real* A, real* E, int K, int* bits, fit_workspace& ws) {
    const int q = ws.q;
    const long count = n_patterns;
    const long distinct = 1L << K;
    const real* table = ws.pattern_table;
    const int* pairs = ws.pattern_pairs;
    double* eta = ws.pattern_eta;
    real* ex = ws.pattern_exp;

    // Outcome part of each exponent. Adding the highest set bit last keeps the
    // ascending order of the terms: eta[i] = eta[i without bit h] + theta_h.
    eta[0] = 0.0;
    for (int h = 0; h < K; h++) {
        const double theta = params[h];
        const long half = 1L << h;
        for (long i = half; i < 2 * half; i++) eta[i] = eta[i - half] + theta;
    }
    const double omega = params[K];

    // A float sum of two reals equals their double sum rounded to real, so A and
    // E_l (l < K) accumulate in real arithmetic; bit * e is exactly 0 or e.
    // E_K adds t * e, which is not a real, so it is summed in double and rounded.
    real a = 0.0f;
    for (int l = 0; l <= K; l++) E[l] = 0.0f;
    real eK = 0.0f;
    int capped = 0;
    for (long i = 0; i < distinct; i++) {
        double x = eta[i] + pairs[i] * omega;
        if (x > 50.0) {
            x = 50.0;
            capped = 1;
        }
        const real e = static_cast<real>(std::exp(x));
        ex[i] = e;
        a += e;
        const real* row = table + i * q;
        for (int l = 0; l < K; l++) E[l] += row[l] * e;
        eK = static_cast<real>(eK + pairs[i] * static_cast<double>(e));
    }
    for (long block = distinct; block < count; block += distinct) {
        for (long i = 0; i < distinct; i++) {
            const real e = ex[i];
            a += e;
            const real* row = table + i * q;
            for (int l = 0; l < K; l++) E[l] += row[l] * e;
            eK = static_cast<real>(eK + pairs[i] * static_cast<double>(e));
        }
    }
    E[K] = eK;

    // The statistics of the last index visited, as a pattern-by-pattern sum leaves them.
    for (int j = 0; j < K; j++) bits[j] = static_cast<int>(((count - 1) >> j) & 1);
    bits[K] = pairs[distinct - 1];

    if (!(a > 0.0f)) silent_exit();
    for (int l = 0; l <= K; l++) E[l] = static_cast<real>(static_cast<double>(E[l]) / a);
    *A = a;
    return capped;
}
