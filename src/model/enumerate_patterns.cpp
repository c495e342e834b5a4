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
#include <algorithm>
#include <bit>
#include <cmath>

#include "model/node_fit.h"
#include "model/rounded_exp.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"

namespace {

// Sums over the pattern indices, in index order, with e_i = exp(x_i) rounded
// to a real: A, the outcome sums (4*G of them, in registers; padding columns
// of the table only ever add 0) and the pair-count sum. x holds the `distinct`
// capped exponents; the index sequence is those patterns repeated until
// `count` indices have been visited, and their exponentials are kept in ex.
//
// A float sum of two reals equals their double sum rounded to real, and
// bit * e is exactly 0 or e, so A and the outcome sums use real arithmetic.
// The pair-count term t * e is not a real for t > 1, so that sum is formed in
// double and rounded per term; with t = 1 it is a sum of reals, and a term
// with t = 0 leaves it unchanged and is skipped.
// The exponentials are taken in small blocks ahead of their sums, so that the
// sums stay in registers across the calls of exp.
template <int G>
void accumulate_patterns(const double* x, long distinct, long count, const real* table, int stride,
                         const int* pairs, const double* exp_table, real* ex, real* sums_out,
                         real* a_out, real* pair_out) {
    real s[4 * G] = {};
    real a = 0.0f;
    real pair_sum = 0.0f;
    auto add = [&](long i, real e) {
        a += e;
        const real* row = table + i * stride;
        for (int k = 0; k < 4 * G; k++) s[k] += row[k] * e;
        if (pairs[i] == 1)
            pair_sum += e;
        else if (pairs[i] != 0)
            pair_sum = static_cast<real>(pair_sum + pairs[i] * static_cast<double>(e));
    };
    const long block = distinct < 8 ? distinct : 8;
    for (long first = 0; first < distinct; first += block) {
        if (block == 8)
            rounded_exp_block(x + first, ex + first, 8, exp_table);
        else
            for (long i = first; i < first + block; i++) ex[i] = rounded_exp(x[i], exp_table);
        for (long i = first; i < first + block; i++) add(i, ex[i]);
    }
    for (long start = distinct; start < count; start += distinct)
        for (long i = 0; i < distinct; i++) add(i, ex[i]);
    for (int k = 0; k < 4 * G; k++) sums_out[k] = s[k];
    *a_out = a;
    *pair_out = pair_sum;
}

// The sums for q outcomes with the outcome sums in (q + 3) / 4 groups of four.
void accumulate_by_groups(int groups, const double* x, long distinct, long count, const real* table,
                          int stride, const int* pairs, const double* exp_table, real* ex,
                          real* sums, real* a, real* pair_sum) {
    switch (groups) {
    case 0:
    case 1:
        accumulate_patterns<1>(x, distinct, count, table, stride, pairs, exp_table, ex, sums, a,
                               pair_sum);
        break;
    case 2:
        accumulate_patterns<2>(x, distinct, count, table, stride, pairs, exp_table, ex, sums, a,
                               pair_sum);
        break;
    case 3:
        accumulate_patterns<3>(x, distinct, count, table, stride, pairs, exp_table, ex, sums, a,
                               pair_sum);
        break;
    case 4:
        accumulate_patterns<4>(x, distinct, count, table, stride, pairs, exp_table, ex, sums, a,
                               pair_sum);
        break;
    case 5:
        accumulate_patterns<5>(x, distinct, count, table, stride, pairs, exp_table, ex, sums, a,
                               pair_sum);
        break;
    case 6:
        accumulate_patterns<6>(x, distinct, count, table, stride, pairs, exp_table, ex, sums, a,
                               pair_sum);
        break;
    case 7:
        accumulate_patterns<7>(x, distinct, count, table, stride, pairs, exp_table, ex, sums, a,
                               pair_sum);
        break;
    default:
        accumulate_patterns<8>(x, distinct, count, table, stride, pairs, exp_table, ex, sums, a,
                               pair_sum);
        break;
    }
}

// The inner loop's bounds become constants only once the outer loop is
// unrolled; instrumented builds do not unroll it and would warn.
#if defined(__SANITIZE_ADDRESS__)
#define INNER_UNROLL
#else
#define INNER_UNROLL _Pragma("GCC unroll 16")
#endif

// The whole sum for a small K known at compile time, with every loop unrolled:
// the bits and pair count of each index are then constants. Returns 1 when
// some exponent was capped.
template <int K>
int small_pattern_sum(const real* params, long count, const double* exp_table, real* sums,
                      real* a_out, real* pair_out) {
    constexpr int distinct = 1 << K;
    double x[distinct];
    x[0] = 0.0;
#pragma GCC unroll 8
    for (int h = 0; h < K; h++) INNER_UNROLL
    for (int i = 1 << h; i < 2 << h; i++) x[i] = x[i - (1 << h)] + params[h];
    const double omega = params[K];
    int capped = 0;
#pragma GCC unroll 16
    for (int i = 0; i < distinct; i++) {
        const int s = std::popcount(static_cast<unsigned>(i));
        const double v = x[i] + (s * (s - 1) / 2) * omega;
        capped |= v > 50.0;
        x[i] = std::min(v, 50.0);
    }
    real e[distinct];
    if constexpr (distinct >= 16) {
        rounded_exp_block(x, e, distinct, exp_table);
    } else {
        for (int i = 0; i < distinct; i++) e[i] = rounded_exp(x[i], exp_table);
    }
    real s[K] = {};
    real a = 0.0f;
    real pair_sum = 0.0f;
    for (long start = 0; start < count; start += distinct) {
#pragma GCC unroll 16
        for (int i = 0; i < distinct; i++) {
            a += e[i];
#pragma GCC unroll 8
            for (int l = 0; l < K; l++)
                if ((i >> l) & 1) s[l] += e[i];
            const int n_set = std::popcount(static_cast<unsigned>(i));
            const int t = n_set * (n_set - 1) / 2;
            if (t == 1)
                pair_sum += e[i];
            else if (t > 1)
                pair_sum = static_cast<real>(pair_sum + t * static_cast<double>(e[i]));
        }
    }
    for (int l = 0; l < K; l++) sums[l] = s[l];
    *a_out = a;
    *pair_out = pair_sum;
    return capped;
}

} // namespace

int enumerate_patterns(const real* params, real* A, real* E, int K, int* bits, fit_workspace& ws) {
    const long count = n_patterns;
    const long distinct = 1L << K;
    const int* pairs = ws.pattern_pairs;
    double* eta = ws.pattern_eta;

    real sums[4 * 8];
    real a, pair_sum;
    int capped = 0;
    switch (K) {
    case 1:
        capped = small_pattern_sum<1>(params, count, ws.exp_table, sums, &a, &pair_sum);
        break;
    case 2:
        capped = small_pattern_sum<2>(params, count, ws.exp_table, sums, &a, &pair_sum);
        break;
    case 3:
        capped = small_pattern_sum<3>(params, count, ws.exp_table, sums, &a, &pair_sum);
        break;
    case 4:
        capped = small_pattern_sum<4>(params, count, ws.exp_table, sums, &a, &pair_sum);
        break;
    default: {
        // Outcome part of each exponent. Adding the highest set bit last keeps
        // the ascending order of the terms: eta[i] = eta[i without bit h] + theta_h.
        eta[0] = 0.0;
        for (int h = 0; h < K; h++) {
            const double theta = params[h];
            const long half = 1L << h;
            for (long i = half; i < 2 * half; i++) eta[i] = eta[i - half] + theta;
        }
        // Then the association term, and the cap at 50.
        const double omega = params[K];
        for (long i = 0; i < distinct; i++) {
            const double x = eta[i] + pairs[i] * omega;
            capped |= x > 50.0;
            eta[i] = std::min(x, 50.0);
        }
        accumulate_by_groups((K + 3) / 4, eta, distinct, count, ws.pattern_table, ws.pattern_stride,
                             pairs, ws.exp_table, ws.pattern_exp, sums, &a, &pair_sum);
    }
    }

    // The statistics of the last index visited, as a pattern-by-pattern sum leaves them.
    for (int j = 0; j < K; j++) bits[j] = static_cast<int>(((count - 1) >> j) & 1);
    bits[K] = pairs[distinct - 1];

    if (!(a > 0.0f)) silent_exit();
    // A real quotient of two reals equals their double quotient rounded to real.
    for (int l = 0; l < K; l++) E[l] = sums[l] / a;
    E[K] = pair_sum / a;
    *A = a;
    return capped;
}
