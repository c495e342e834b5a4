// node_covariance: the sample covariance matrix of (y_0 .. y_{q-1}, t), 1-based
// in rows and columns 1 .. q+1, from a node_stats summary of n cases.
#include <cstdint>

#include "model/node_stats.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"

namespace {

// entry - product/n stored, then divided by n-1 (when n > 1) and stored again.
real centred(int entry, std::int64_t product, int n) {
    real c = static_cast<real>(static_cast<double>(entry) -
                               static_cast<double>(product) / static_cast<double>(n));
    if (n > 1) c = static_cast<real>(static_cast<double>(c) / static_cast<double>(n - 1));
    return c;
}

} // namespace

void node_covariance(const int* stats, real** cov, int n) {
    if (n == 0) silent_exit();
    const int q = n_outcomes;
    const int P = pair_total_index(q);
    const std::int64_t T = stats[P];
    int k = q;
    for (int j = 0; j < q; j++) {
        for (int l = j; l < q; l++) {
            const std::int64_t product = static_cast<std::int64_t>(stats[j]) * stats[l];
            cov[j + 1][l + 1] = centred(stats[k], product, n);
            cov[l + 1][j + 1] = cov[j + 1][l + 1];
            k++;
        }
    }
    for (int j = 0; j < q; j++) {
        cov[j + 1][q + 1] = centred(stats[P + 1 + j], T * stats[j], n);
        cov[q + 1][j + 1] = cov[j + 1][q + 1];
    }
    cov[q + 1][q + 1] = centred(stats[P + 1 + q], T * T, n);
}
