// Fills test_node with the terminal node of the fold tree that each held-out
// case reaches, routing by split_covariate and split_value as growing did.
#include "cv/fold_steps.h"

#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"

void drop_test_cases(real** test_covariates, int c, const int* split_covariate,
                     const real* split_value, const int* left_daughter, int n_nodes,
                     int* test_node) {
    const long long max_steps = static_cast<long long>(c) * n_nodes;
    long long steps = 0;
    for (int i = 0; i < c; i++) {
        int t = 0;
        while (t < n_nodes && left_daughter[t] != 0) {
            if (++steps > max_steps) fatal_error("count: out of bound");
            int v = split_covariate[t];
            real x = test_covariates[v][i];
            bool left;
            if (cov_levels[v] <= 1) {
                left = x <= split_value[t];
            } else {
                long long k = static_cast<long long>(x);
                long long mask = static_cast<long long>(split_value[t]);
                int bit = static_cast<int>(k % 32);
                if (bit < 0) bit += 32;
                left = ((mask >> bit) & 1) == 1;
            }
            t = left ? left_daughter[t] : left_daughter[t] + 1;
        }
        test_node[i] = t;
    }
}
