// Run-wide settings of cross-validation, set once before the repetitions
// start: folds given by the user instead of drawn ones, and whether the common
// model's held-out score counts nodes that hold a single held-out case.
#pragma once

// Folds given by the user, or none (null: every repetition draws its
// permutation). given_folds[r][s] is the fold, 0 .. n_given_folds-1, of
// subject s in repetition r, r < n_given_repeats; every fold of every
// repetition holds at least one subject.
extern int** given_folds;
extern int n_given_folds;
extern int n_given_repeats;

// Copies the table folds (n_repeats rows of n_subjects fold numbers, 0 ..
// n_folds-1, repetition after repetition) into given_folds, replacing any
// earlier one; clear_given_folds releases it and returns to drawn folds.
void set_given_folds(const int* folds, int n_repeats, int n_folds);
void clear_given_folds();

// The common model's score leaves out a node holding a single held-out case
// (false, the default); when set, that case is scored like any other. The
// pairwise model's score always counts every held-out case.
extern bool score_single_held_out;
