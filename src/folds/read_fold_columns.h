// read_fold_columns: the folds a user gives as columns of the data table, one
// column per repetition, folds numbered from 1.
#pragma once

#include <string>
#include <vector>

// Reads the named columns of the delimited text at path (n_subjects records).
// On success returns true with folds holding one row of n_subjects fold
// numbers counted from 0 per column, in the order named, n_repeats the number
// of columns and n_folds the number of folds (check_fold_table's rules).
// Otherwise returns false with message "FILE:LINE: column "NAME": ...".
// Checks that every name is a column of the delimited text at path, before
// the table is read (the fold columns are no covariates). False with message
// "FILE:1: --fold-column names ..." otherwise.
bool check_fold_column_names(const std::string& path, const std::vector<std::string>& names,
                             std::string& message);

bool read_fold_columns(const std::string& path, const std::vector<std::string>& names,
                       int n_subjects, std::vector<int>& folds, int& n_repeats, int& n_folds,
                       std::string& message);
