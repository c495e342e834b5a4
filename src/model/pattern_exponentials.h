// pattern_exponentials: every pattern's exponential e_i, exp(eta_i) rounded to
// a real, as a product of the exponentials of the parameters instead of one
// exp per pattern.
//
// eta_i is the sum of theta_j over the set bits j of i (ascending, in double)
// plus t_i * omega, with t_i = s(s-1)/2 for s set bits. The product
//   y_i = prod_{j set} exp(theta_j) * exp(t_i * omega)
// needs K + (K - 1) exponentials (t_i * omega is exact: t_i < 2^7, omega a
// real) and one multiplication per set bit. It is within 2^-43 (relative) of
// exp(eta_i) as the pattern sum forms eta_i:
//  - each table_exp is within 4 units of 2^-53, each product adds one rounding,
//    so with at most K + 1 factors (K <= 16) y_i is within 85 * 2^-53;
//  - the double sum eta_i rounds at most K times, each time by at most 2^-53
//    of a partial sum, and every partial sum is at most
//    B = sum |theta_j| + K(K-1)/2 |omega| < 40 in magnitude, so exp(eta_i)
//    moves by at most 16 * 40 * 2^-53 (relative), and 725 * 2^-53 < 2^-43.
// The library's exp is within about 2^-53 (half a unit in the last place), so
// it lies within 2^-41 of y_i, and whenever every value within 2^-40 of y_i
// rounds to the same real, that real is the rounding of the library's
// exp(eta_i). Then e_i is that real; a pattern near a midpoint (about one in
// 2^15) has its eta_i formed and rounded_exp decides. When B >= 40 (so also
// whenever some eta_i could reach the cap at 50 or leave the range of normal
// reals) or K > 16, the caller forms every e_i from its eta_i.
#pragma once

#include <cmath>

#include "model/rounded_exp.h"
#include "numeric/real.h"

// From this sum of parameter magnitudes on, or beyond this many outcomes, the
// products are not used.
constexpr double product_exp_bound = 40.0;
constexpr int product_max_outcomes = 16;

// e_i for the patterns near a midpoint: y holds the outcome products and
// pair_factor the association factors, as pattern_exponentials leaves them.
[[gnu::cold]] void redo_near_midpoints(const real* params, int K, const int* pairs,
                                       const double* table, const double* y,
                                       const double* pair_factor, real* e);

// e[i] for i < 2^K from params (K outcome parameters, then the association
// parameter); pairs[i] is t_i. y is scratch of 2^K doubles. Returns false,
// with e unspecified, when B >= 40 or K > 16.
[[gnu::always_inline]] inline bool pattern_exponentials(const real* params, int K, const int* pairs,
                                                        const double* table, double* y, real* e) {
    if (K > product_max_outcomes) return false;
    const double omega = params[K];
    double bound = (K * (K - 1) / 2) * std::fabs(omega);
    for (int h = 0; h < K; h++) bound += std::fabs(static_cast<double>(params[h]));
    if (!(bound < product_exp_bound)) return false; // also when a parameter is not a number
    // exp(t * omega) for the pair counts t of 2 .. K set bits, indexed by t.
    double pair_factor[product_max_outcomes * (product_max_outcomes - 1) / 2 + 1];
    pair_factor[0] = 1.0;
#pragma GCC unroll 16
    for (int s = 2; s <= K; s++) {
        const int t = s * (s - 1) / 2;
        pair_factor[t] = table_exp(t * omega, table);
    }
    // Outcome part: y[i] = y[i without its highest bit h] * exp(theta_h).
    y[0] = 1.0;
#pragma GCC unroll 16
    for (int h = 0; h < K; h++) {
        const double factor = table_exp(params[h], table);
        const long half = 1L << h;
#pragma GCC unroll 16
        for (long i = half; i < 2 * half; i++) y[i] = y[i - half] * factor;
    }
    int suspect = 0;
    const long distinct = 1L << K;
    for (long i = 0; i < distinct; i++) {
        const double v = y[i] * pair_factor[pairs[i]];
        const real f = static_cast<real>(v);
        suspect |= near_real_midpoint(v, f);
        e[i] = f;
    }
    if (suspect) [[unlikely]]
        redo_near_midpoints(params, K, pairs, table, y, pair_factor, e);
    return true;
}
