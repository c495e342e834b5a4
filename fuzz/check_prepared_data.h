// What the data file reader promises the rest of the run after a successful
// read; a broken promise aborts so that the fuzzer reports the input.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "numeric/run_counts.h"

inline void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken data invariant: %s\n", what);
        std::abort();
    }
}

// A cov_column entry beyond the type row is caught by AddressSanitizer when
// col_type is read at it.
inline void check_prepared_data(const int* cov_column) {
    require(n_subjects >= 1, "at least one subject");
    require(n_outcomes >= 1, "at least one outcome");
    require(n_covariates >= 1, "at least one covariate");
    require(stat_len == (n_outcomes + 4) * (n_outcomes + 1) / 2, "stat_len");
    require(n_patterns == 1 << n_outcomes, "n_patterns");
    for (int k = 0; k < n_covariates; k++) {
        require(cov_column[k] >= 0, "cov_column not negative");
        require(col_type[cov_column[k]] > 0, "a covariate comes from a positive-coded column");
        require(cov_levels[k] >= 1, "cov_levels at least 1");
        const real* row = covariate_matrix[k];
        require(row != nullptr, "covariate row present");
        for (int s = 0; s < n_subjects; s++) {
            require(std::isfinite(row[s]), "covariate values finite");
            if (cov_levels[k] >= 2) {
                const double level = std::trunc(static_cast<double>(row[s]));
                require(level >= 0 && level < cov_levels[k], "nominal value within its levels");
            }
        }
    }
    for (int s = 0; s < n_subjects; s++) {
        int positive = 0;
        for (int o = 0; o < n_outcomes; o++) {
            require(outcome_matrix[o][s] == 0 || outcome_matrix[o][s] == 1, "outcome 0 or 1");
            positive += outcome_matrix[o][s];
        }
        require(outcome_matrix[n_outcomes][s] == positive * (positive - 1) / 2, "pair count");
    }
}
