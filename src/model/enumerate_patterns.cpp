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
#include <cmath>

#include "model/node_fit.h"
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
// The pair-count term t * e is not a real, so that sum is formed in double and
// rounded per term; a term with t = 0 leaves it unchanged and is skipped.
// The exponentials are taken in small blocks ahead of their sums, so that the
// sums stay in registers across the calls of exp.
template <int G>
void accumulate_patterns(const double* x, long distinct, long count, const real* table, int stride,
                         const int* pairs, real* ex, real* sums_out, real* a_out, real* pair_out) {
    real s[4 * G] = {};
    real a = 0.0f;
    real pair_sum = 0.0f;
    auto add = [&](long i, real e) {
        a += e;
        const real* row = table + i * stride;
        for (int k = 0; k < 4 * G; k++) s[k] += row[k] * e;
        if (pairs[i] != 0)
            pair_sum = static_cast<real>(pair_sum + pairs[i] * static_cast<double>(e));
    };
    const long block = distinct < 8 ? distinct : 8;
    for (long first = 0; first < distinct; first += block) {
        for (long i = first; i < first + block; i++) ex[i] = static_cast<real>(std::exp(x[i]));
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
                          int stride, const int* pairs, real* ex, real* sums, real* a,
                          real* pair_sum) {
    switch (groups) {
    case 0:
    case 1:
        accumulate_patterns<1>(x, distinct, count, table, stride, pairs, ex, sums, a, pair_sum);
        break;
    case 2:
        accumulate_patterns<2>(x, distinct, count, table, stride, pairs, ex, sums, a, pair_sum);
        break;
    case 3:
        accumulate_patterns<3>(x, distinct, count, table, stride, pairs, ex, sums, a, pair_sum);
        break;
    case 4:
        accumulate_patterns<4>(x, distinct, count, table, stride, pairs, ex, sums, a, pair_sum);
        break;
    case 5:
        accumulate_patterns<5>(x, distinct, count, table, stride, pairs, ex, sums, a, pair_sum);
        break;
    case 6:
        accumulate_patterns<6>(x, distinct, count, table, stride, pairs, ex, sums, a, pair_sum);
        break;
    case 7:
        accumulate_patterns<7>(x, distinct, count, table, stride, pairs, ex, sums, a, pair_sum);
        break;
    default:
        accumulate_patterns<8>(x, distinct, count, table, stride, pairs, ex, sums, a, pair_sum);
        break;
    }
}

} // namespace

int enumerate_patterns(const real* params, real* A, real* E, int K, int* bits, fit_workspace& ws) {
    const long count = n_patterns;
    const long distinct = 1L << K;
    const int* pairs = ws.pattern_pairs;
    double* eta = ws.pattern_eta;

    // Outcome part of each exponent. Adding the highest set bit last keeps the
    // ascending order of the terms: eta[i] = eta[i without bit h] + theta_h.
    eta[0] = 0.0;
    for (int h = 0; h < K; h++) {
        const double theta = params[h];
        const long half = 1L << h;
        for (long i = half; i < 2 * half; i++) eta[i] = eta[i - half] + theta;
    }
    // Then the association term, and the cap at 50.
    const double omega = params[K];
    int capped = 0;
    for (long i = 0; i < distinct; i++) {
        const double x = eta[i] + pairs[i] * omega;
        capped |= x > 50.0;
        eta[i] = std::min(x, 50.0);
    }

    real sums[4 * 8];
    real a, pair_sum;
    accumulate_by_groups((K + 3) / 4, eta, distinct, count, ws.pattern_table, ws.pattern_stride,
                         pairs, ws.pattern_exp, sums, &a, &pair_sum);

    // The statistics of the last index visited, as a pattern-by-pattern sum leaves them.
    for (int j = 0; j < K; j++) bits[j] = static_cast<int>(((count - 1) >> j) & 1);
    bits[K] = pairs[distinct - 1];

    if (!(a > 0.0f)) silent_exit();
    for (int l = 0; l < K; l++) E[l] = static_cast<real>(static_cast<double>(sums[l]) / a);
    E[K] = static_cast<real>(static_cast<double>(pair_sum) / a);
    *A = a;
    return capped;
}
