// presort_root: fills the root's sorted rows, one per ordered covariate, by
// heap-sorting the covariate's values once, and the case ranks from them.
#include "numeric/arrays.h"
#include "numeric/heap_sort_with_index.h"
#include "numeric/run_counts.h"
#include "tree/grow_state.h"

void presort_root(grow_state& g) {
    int n = g.n;
    real* key = dvector(n + 1);
    for (int c = 0; c < n_covariates; c++) {
        if (cov_levels[c] != 1) continue;
        int* row = g.posi[0][c];
        const real* values = g.covariates[c];
        for (int j = 1; j <= n; j++) {
            row[j] = j - 1;
            key[j] = values[j - 1];
        }
        heap_sort_with_index(n, key, row);
        // Move down one place so the sorted cases stand in 0 .. n-1.
        for (int j = 0; j < n; j++) {
            row[j] = row[j + 1];
            key[j] = key[j + 1];
        }
        int* rank = g.case_rank[c];
        for (int j = 0; j < n; j++) rank[row[j]] = j;
    }
    release_vector(key);
}
