// read_data_file: the missing-value dialogue, the whole data file, covariate
// preparation and the data summaries. Sets n_subjects, n_covariates, n_outcomes,
// col_type, cov_levels, covariate_matrix and outcome_matrix.
#pragma once

#include <cstdio>

#include "numeric/real.h"

// Returns cov_column: the data column (from 0) of each covariate. The file stays
// open; file_name is used only in messages.
int* read_data_file(std::FILE* data_file, const char* file_name);

// The same after the dialogue, with its answers given: a nonzero missing_flag
// makes every covariate value equal to missing_code a missing value.
int* load_data_file(std::FILE* data_file, const char* file_name, int missing_flag,
                    real missing_code);
