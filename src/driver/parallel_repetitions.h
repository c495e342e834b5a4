// The folds of every cross-validation repetition on worker threads, with the
// console text, the report rows and any stop exactly as one thread gives them.
#pragma once

#include <cstdio>

#include "numeric/real.h"

// Appends one repetition's row of scores ("%8.2f " each, then a newline) to
// the report and flushes it.
void write_score_row(std::FILE* report, const real* cv_scores);

// Draws the permutations of all n_repeats repetitions first, in repetition
// order (none when the folds are given, cv/cv_settings.h), then runs their
// folds on min(n_threads, folds) workers, each with its own node table, work
// storage and fold copies. The calling thread prints "round %d" lines and each
// fold's buffered console text in fold order, adds each fold's score terms
// into its repetition's cv_scores in the one-thread order, stores every
// finished repetition's vector in cv_results and appends its row. A stop
// inside a fold is performed when every fold before it has been reported.
void parallel_repetitions(int n_folds, int n_repeats, int* cv_seed, std::FILE* report,
                          real** cv_results);
