// The data of `korva fit`: read into the run-wide arrays the engine works on,
// with the covariates prepared exactly as the dialogue run prepares them, and
// described for the user.
#pragma once

#include "fit/fit_options.h"
#include "table/data_description.h"

// Reads options.data (delimited text with a header row, or korva's data file,
// told apart by its first line), fills n_subjects, n_outcomes, n_covariates,
// col_type, cov_levels, covariate_matrix and outcome_matrix, prepares the
// covariates and fills the description. Returns cov_column. Bad input ends the
// run with one error line naming the file, the line and the column (status 1).
int* load_fit_data(const fit_options& options, data_description& description);

// The description of the arrays read_data_records (or its equivalent for
// delimited text) filled, before the covariates are prepared: kinds, missing
// counts (values equal to missing_code when missing_flag is set), observed
// ranges and outcome counts. Names and labels are left to the caller.
void describe_raw_data(int n_columns, int missing_flag, float missing_code,
                       data_description& description);

// After preparation: the number of categories of each nominal column.
void describe_categories(const int* cov_column, data_description& description);
