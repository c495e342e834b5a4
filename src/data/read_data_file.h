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

// load_data_file's two halves. read_data_records reads the header, the type
// row and the records: it sets n_subjects, n_outcomes, col_type and
// n_covariates (the covariate columns, d), allocates cov_levels, cov_column
// and covariate_matrix with 2d rows (room for the missingness copies) and
// outcome_matrix with q+1 rows, and fills the covariate rows 0..d-1 and the
// outcome rows; *n_columns, when given, receives the number of data columns.
// prepare_data fills the pair-count row, prepares the
// covariates, prints the summaries and releases the rows left unused. A
// caller that builds the same arrays from another source calls prepare_data
// on them.
// The limits on the counts of a data set (n subjects, p covariate and ignored
// columns, q outcomes): at least one subject and one outcome, at most 16
// outcomes, node statistics that fit 32 bits, and indices that fit an int.
// A count beyond them ends the run with an error line naming the file.
void check_data_counts(const char* file_name, int subjects, int p, int q);

int* read_data_records(std::FILE* data_file, const char* file_name, int* n_columns = nullptr);
void prepare_data(int missing_flag, real missing_code, int* cov_column);
