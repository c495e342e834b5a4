// redo_near_midpoints: the rounded exponentials of the patterns whose product
// lies too near a midpoint between two reals, from their exponents.
#include "model/pattern_exponentials.h"

void redo_near_midpoints(const real* params, int K, const int* pairs, const double* table,
                         const double* y, const double* pair_factor, real* e) {
    const long distinct = 1L << K;
    for (long i = 0; i < distinct; i++) {
        const double v = y[i] * pair_factor[pairs[i]];
        if (!near_real_midpoint(v, static_cast<real>(v))) continue;
        // The exponent as the pattern sum forms it: the set bits' parameters
        // in ascending order from 0, then the association term.
        double eta = 0.0;
        for (int j = 0; j < K; j++)
            if ((i >> j) & 1) eta = eta + params[j];
        eta = eta + pairs[i] * static_cast<double>(params[K]);
        e[i] = rounded_exp(eta, table);
    }
}
