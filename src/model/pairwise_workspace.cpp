// alloc_pairwise_workspace / release_pairwise_workspace: the scratch of the
// pairwise fit for q outcomes, and its parameter-free tables: where each pair's
// associations start, and the outcomes of each statistic as bits.
#include <cmath>
#include <cstdlib>

#include "model/pairwise_fit.h"
#include "numeric/fatal_error.h"

void alloc_pairwise_workspace(pairwise_workspace& pw, int q) {
    const long K = 1L << q;
    const int D = q + q * (q - 1) / 2;
    pw.q = q;
    pw.D = D;
    pw.n_patterns = K;

    const long n_ints = q + D;
    const long n_doubles = K + 7L * D + 2L * D * D;
    pw.ints = static_cast<int*>(std::malloc(sizeof(int) * static_cast<unsigned long>(n_ints)));
    pw.doubles =
        static_cast<double*>(std::malloc(sizeof(double) * static_cast<unsigned long>(n_doubles)));
    if (pw.ints == nullptr || pw.doubles == nullptr) fatal_error("allocation failure in dvector()");

    pw.pair_row = pw.ints;
    pw.stat_mask = pw.pair_row + q;
    for (int l = 0; l < q; l++) pw.pair_row[l] = pairwise_index(q, l, l + 1) - (l + 1);
    for (int j = 0; j < q; j++) {
        pw.stat_mask[j] = 1 << j;
        for (int k = j + 1; k < q; k++) pw.stat_mask[pairwise_index(q, j, k)] = (1 << j) | (1 << k);
    }

    double* d = pw.doubles;
    pw.eta = d;
    d += K;
    pw.expected = d;
    d += D;
    pw.target = d;
    d += D;
    pw.gradient = d;
    d += D;
    pw.step = d;
    d += D;
    pw.trial = d;
    d += D;
    pw.params = d;
    d += D;
    pw.pivot_inverse = d;
    d += D;
    pw.information = d;
    d += static_cast<long>(D) * D;
    pw.factor = d;
    for (int e = 0; e < D; e++) pw.params[e] = 0.0;
    pw.log_normaliser = q * std::log(2.0);
    pw.iterations = 0;
    pw.passes = 0;
    pw.converged = 0;
}

void release_pairwise_workspace(pairwise_workspace& pw) {
    std::free(pw.doubles);
    std::free(pw.ints);
    pw = pairwise_workspace{};
}
