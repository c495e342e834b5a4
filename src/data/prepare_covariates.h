// prepare_covariates: turns the covariate rows read from the data file into
// covariates the split search can use (ranges, level codes, recoded missing
// values, missingness copies), printing one line per covariate.
#pragma once

#include "numeric/real.h"

// Smallest and largest observed value of one covariate row of n values, and
// whether any value equals missing_code (only when missing_flag is nonzero).
// Returns false when no value is observed (every value is missing); smallest
// and largest are then left unset.
bool scan_covariate(const real* row, int n, real& smallest, real& largest, real missing_code,
                    int& has_missing, int missing_flag);

// Works on covariate_matrix rows 0..n_covariates-1 (rows n_covariates..
// 2 n_covariates-1 must exist as room for copies), col_type and cov_column.
// Fills cov_levels, appends copies to covariate_matrix and cov_column, and sets
// the final n_covariates.
void prepare_covariates(int missing_flag, real missing_code, int* cov_column);
