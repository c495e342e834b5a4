// read_fold_file: the folds a user gives for cross-validation, one line per
// subject and one whole number per repetition, and the checks every such
// table must pass. Errors come back as one message, never as a stop.
#pragma once

#include <string>
#include <vector>

// Reads the fold file at path for n_subjects subjects. The file has one line
// per subject, in the data file's order, each with one fold number per
// repetition, separated by blanks or tabs; folds are numbered from 1. Blank
// lines at the end of the file are ignored.
//
// On success returns true with folds holding n_repeats rows of n_subjects
// fold numbers counted from 0 (repetition after repetition), n_repeats the
// number of fields per line and n_folds the number of folds. Otherwise
// returns false with message naming the file and, where there is one, the
// line and column (field) at fault: a line whose count of fields differs from
// the first line's, a field that is not a whole number, a fold below 1 or
// above the number of subjects, a line count that differs from n_subjects,
// and the failures of check_fold_table.
bool read_fold_file(const std::string& path, int n_subjects, std::vector<int>& folds,
                    int& n_repeats, int& n_folds, std::string& message);

// Checks a table of folds counted from 0 (n_repeats rows of n_subjects, as
// read_fold_file fills it): in every repetition the folds used are 0 .. k-1
// with none empty, k is the same in every repetition, and k >= 2. On success
// sets n_folds to k and returns true; otherwise returns false with a message
// that begins with source (a file name, or a column name) and names the
// repetition (column) at fault.
bool check_fold_table(const std::string& source, const std::vector<int>& folds, int n_subjects,
                      int n_repeats, int& n_folds, std::string& message);
