// Warnings on standard error about a run that will measure little or take
// long. They change nothing else: the console text, the report and the exit
// status are those of the run without them.
#pragma once

#include <string>
#include <vector>

#include "numeric/held_out_rule.h"

// Warns when floor(n_subjects / n_folds) is below min_reliable_held_out.
void warn_about_folds(int n_subjects, int n_folds);

// Categories from which the split search of a nominal covariate, which tries
// all 2^(k-1) - 1 divisions of its k categories at every node, takes long.
inline constexpr int many_categories = 16;

// Warns for every nominal covariate with many_categories or more. names, when
// not empty, names the data columns; otherwise the covariate and its data
// column are given by number.
void warn_about_nominal_covariates(const int* cov_column, const std::vector<std::string>& names);
