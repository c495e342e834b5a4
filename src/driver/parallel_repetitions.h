// The folds of every cross-validation repetition on worker threads, with the
// console text, the report rows and any stop exactly as one thread gives them.
#pragma once

#include <cstdio>

#include "numeric/real.h"

// Appends one repetition's row of scores ("%8.2f " each, then a newline) to
// the report and flushes it.
void write_score_row(std::FILE* report, const real* cv_scores);

// A finished repetition r (from 0): appends its row, copies the scores to
// kept_rows[r] when kept_rows is given, and releases cv_scores.
void finish_repetition(int r, real* cv_scores, std::FILE* report, real** kept_rows);

// Runs the folds of n_repeats repetitions on min(n_threads, folds) workers,
// each with its own node table, work storage and fold copies. The calling
// thread draws each repetition's permutation in repetition order as the
// workers come to need it (none when the folds are given, cv/cv_settings.h),
// prints "round %d" lines and each fold's buffered console text in fold
// order, adds each fold's score terms into its repetition's scores in the
// one-thread order and finishes every repetition as soon as its folds are
// in. Only a window of a few folds per worker is under way at a time, so
// memory does not grow with the number of repetitions. A stop inside a fold
// is performed when every fold before it has been reported.
void parallel_repetitions(int n_folds, int n_repeats, int* cv_seed, std::FILE* report,
                          real** kept_rows);
