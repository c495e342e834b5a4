// alloc_pairwise_workspace / release_pairwise_workspace: the scratch of the
// pairwise fit for q outcomes, and its parameter-free tables filled from the
// bits of the 2^q pattern indices.
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

    // Statistics active in each pattern: s main effects and s(s-1)/2 pairs.
    long n_active = 0;
    for (long i = 0; i < K; i++) {
        const int s = __builtin_popcountl(static_cast<unsigned long>(i));
        n_active += s + s * (s - 1) / 2;
    }
    const long n_ints = q + (K + 1) + n_active;
    const long n_doubles = K + 6L * D + 2L * D * D;
    pw.ints = static_cast<int*>(std::malloc(sizeof(int) * static_cast<unsigned long>(n_ints)));
    pw.doubles =
        static_cast<double*>(std::malloc(sizeof(double) * static_cast<unsigned long>(n_doubles)));
    if (pw.ints == nullptr || pw.doubles == nullptr) fatal_error("allocation failure in dvector()");

    pw.pair_row = pw.ints;
    pw.active_first = pw.pair_row + q;
    pw.active = pw.active_first + (K + 1);
    for (int l = 0; l < q; l++) pw.pair_row[l] = pairwise_index(q, l, l + 1) - (l + 1);
    long next = 0;
    for (long i = 0; i < K; i++) {
        pw.active_first[i] = static_cast<int>(next);
        for (int j = 0; j < q; j++)
            if ((i >> j) & 1) pw.active[next++] = j;
        for (int j = 0; j < q; j++)
            for (int k = j + 1; k < q; k++)
                if (((i >> j) & 1) && ((i >> k) & 1)) pw.active[next++] = pairwise_index(q, j, k);
    }
    pw.active_first[K] = static_cast<int>(next);

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
