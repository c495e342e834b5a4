// enumerate_patterns: the normaliser A and the expected statistics E of the
// node model at given parameters, summed over all 2^q pattern indices from the
// workspace's precomputed pattern table.
//
// For pattern index i the exponent is eta = sum of theta_j over the set bits j
// < K (ascending j, in double) plus t * omega, with t the pair count of those
// bits; eta is capped at 50 and e = exp(eta) is rounded to a real. A and each
// E_l are rounded after every term, in index order. Bits K .. q-1 of an index
// are ignored, so when K < q the 2^K distinct exponentials repeat in blocks and
// are computed once per call. The exponentials come from products of the
// parameters' exponentials where those are sure to give the same reals, and
// from each eta otherwise.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

#include "model/node_fit.h"
#include "model/pattern_exponentials.h"
#include "model/rounded_exp.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"

namespace {

// Sums over the pattern indices, in index order, of the rounded exponentials
// ex of the `distinct` patterns: A, the outcome sums (4*G of them, in
// registers; padding columns of the table only ever add 0) and the pair-count
// sum. The index sequence is those patterns repeated until `count` indices
// have been visited.
//
// A float sum of two reals equals their double sum rounded to real, and
// bit * e is exactly 0 or e, so A and the outcome sums use real arithmetic.
// The pair-count term t * e is not a real for t > 1, so that sum is formed in
// double and rounded per term; with t = 1 it is a sum of reals, and a term
// with t = 0 leaves it unchanged and is skipped.
template <int G>
void accumulate_patterns(const real* ex, long distinct, long count, const real* table, int stride,
                         const int* pairs, real* sums_out, real* a_out, real* pair_out) {
    real s[4 * G] = {};
    real a = 0.0f;
    real pair_sum = 0.0f;
    for (long start = 0; start < count; start += distinct)
        for (long i = 0; i < distinct; i++) {
            const real e = ex[i];
            a += e;
            const real* row = table + i * stride;
            for (int k = 0; k < 4 * G; k++) s[k] += row[k] * e;
            if (pairs[i] == 1)
                pair_sum += e;
            else if (pairs[i] != 0)
                pair_sum = static_cast<real>(pair_sum + pairs[i] * static_cast<double>(e));
        }
    for (int k = 0; k < 4 * G; k++) sums_out[k] = s[k];
    *a_out = a;
    *pair_out = pair_sum;
}

// The sums for q outcomes with the outcome sums in (q + 3) / 4 groups of four.
void accumulate_by_groups(int groups, const real* ex, long distinct, long count, const real* table,
                          int stride, const int* pairs, real* sums, real* a, real* pair_sum) {
    switch (groups) {
    case 0:
    case 1:
        accumulate_patterns<1>(ex, distinct, count, table, stride, pairs, sums, a, pair_sum);
        break;
    case 2:
        accumulate_patterns<2>(ex, distinct, count, table, stride, pairs, sums, a, pair_sum);
        break;
    case 3:
        accumulate_patterns<3>(ex, distinct, count, table, stride, pairs, sums, a, pair_sum);
        break;
    case 4:
        accumulate_patterns<4>(ex, distinct, count, table, stride, pairs, sums, a, pair_sum);
        break;
    case 5:
        accumulate_patterns<5>(ex, distinct, count, table, stride, pairs, sums, a, pair_sum);
        break;
    case 6:
        accumulate_patterns<6>(ex, distinct, count, table, stride, pairs, sums, a, pair_sum);
        break;
    case 7:
        accumulate_patterns<7>(ex, distinct, count, table, stride, pairs, sums, a, pair_sum);
        break;
    default:
        accumulate_patterns<8>(ex, distinct, count, table, stride, pairs, sums, a, pair_sum);
        break;
    }
}

// Every e_i from its exponent, for when the products cannot be used. The
// outcome part of each exponent first: adding the highest set bit last keeps
// the ascending order of the terms, eta[i] = eta[i without bit h] + theta_h.
// Then the association term and the cap at 50. Returns 1 when some exponent
// was capped.
[[gnu::noinline]] int exponentials_from_eta(const real* params, int K, const int* pairs,
                                            const double* exp_table, double* eta, real* ex) {
    const long distinct = 1L << K;
    eta[0] = 0.0;
    for (int h = 0; h < K; h++) {
        const double theta = params[h];
        const long half = 1L << h;
        for (long i = half; i < 2 * half; i++) eta[i] = eta[i - half] + theta;
    }
    const double omega = params[K];
    int capped = 0;
    for (long i = 0; i < distinct; i++) {
        const double x = eta[i] + pairs[i] * omega;
        capped |= x > 50.0;
        eta[i] = std::min(x, 50.0);
    }
    rounded_exp_block(eta, ex, distinct, exp_table);
    return capped;
}

// Pair counts of the indices below 2^K.
template <int K> constexpr std::array<int, (1 << K)> small_pair_counts() {
    std::array<int, (1 << K)> t{};
    for (int i = 0; i < (1 << K); i++) {
        const int s = std::popcount(static_cast<unsigned>(i));
        t[i] = s * (s - 1) / 2;
    }
    return t;
}

// The whole call for a small K known at compile time, with every loop
// unrolled: the bits and pair count of each index are then constants.
template <int K>
int small_pattern_sum(const real* params, long count, const double* exp_table, real* A, real* E,
                      int* bits) {
    constexpr int distinct = 1 << K;
    static constexpr std::array<int, distinct> pairs = small_pair_counts<K>();
    double x[distinct];
    real e[distinct];
    int capped = 0;
    if (!pattern_exponentials(params, K, pairs.data(), exp_table, x, e))
        capped = exponentials_from_eta(params, K, pairs.data(), exp_table, x, e);
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
            const int t = pairs[i];
            if (t == 1)
                pair_sum += e[i];
            else if (t > 1)
                pair_sum = static_cast<real>(pair_sum + t * static_cast<double>(e[i]));
        }
    }
    for (int j = 0; j < K; j++) bits[j] = static_cast<int>(((count - 1) >> j) & 1);
    bits[K] = pairs[distinct - 1];
    for (int l = 0; l < K; l++) E[l] = s[l] / a;
    E[K] = pair_sum / a;
    *A = a;
    return capped;
}

// A normaliser that is not positive (or not a number) ends the run; a quiet
// fit only records the failure.
void check_normaliser(real A, fit_workspace& ws) {
    if (A > 0.0f) return;
    if (ws.quiet == 0) silent_exit();
    ws.failed = 1;
}

} // namespace

int enumerate_patterns(const real* params, real* A, real* E, int K, int* bits, fit_workspace& ws) {
    const long count = n_patterns;
    switch (K) {
    case 1:
    case 2:
    case 3:
    case 4: {
        int capped = 0;
        if (K == 1) capped = small_pattern_sum<1>(params, count, ws.exp_table, A, E, bits);
        if (K == 2) capped = small_pattern_sum<2>(params, count, ws.exp_table, A, E, bits);
        if (K == 3) capped = small_pattern_sum<3>(params, count, ws.exp_table, A, E, bits);
        if (K == 4) capped = small_pattern_sum<4>(params, count, ws.exp_table, A, E, bits);
        check_normaliser(*A, ws);
        return capped;
    }
    default:
        break;
    }
    const long distinct = 1L << K;
    const int* pairs = ws.pattern_pairs;
    real* ex = ws.pattern_exp;
    int capped = 0;
    if (!pattern_exponentials(params, K, pairs, ws.exp_table, ws.pattern_eta, ex))
        capped = exponentials_from_eta(params, K, pairs, ws.exp_table, ws.pattern_eta, ex);
    real sums[4 * 8];
    real a, pair_sum;
    accumulate_by_groups((K + 3) / 4, ex, distinct, count, ws.pattern_table, ws.pattern_stride,
                         pairs, sums, &a, &pair_sum);

    // The statistics of the last index visited, as a pattern-by-pattern sum leaves them.
    for (int j = 0; j < K; j++) bits[j] = static_cast<int>(((count - 1) >> j) & 1);
    bits[K] = pairs[distinct - 1];

    check_normaliser(a, ws);
    // A real quotient of two reals equals their double quotient rounded to real.
    for (int l = 0; l < K; l++) E[l] = sums[l] / a;
    E[K] = pair_sum / a;
    *A = a;
    return capped;
}
