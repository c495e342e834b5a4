// One k-fold cross-validation of the pruning sequence: a random permutation of
// the subjects, k folds, and the summed held-out scores of every subtree.
#pragma once

#include "cv/fold_copies.h"
#include "model/fit_workspace.h"
#include "tree/node_table.h"

// n_subjects distinct subject numbers in random order, drawn with RAN1.
int* random_permutation(int* seed, int n);

// Copies fold f (fold size c) of the subjects in permutation order into the
// fold copies: held-out positions c*f .. c*(f+1)-1 to the test copies, the
// others in order to the training copies. A training outcome outside {0, 1}
// prints its row, subject, column and values and stops the run (status -1).
void fill_fold(real** covariates, int** outcomes, int n, const int* order, int c, int f,
               fold_copies& copies);

// Copies the subjects of given fold f (fold_of[s] == f) to the test copies and
// all others to the training copies, each in subject order; returns the number
// held out. A training outcome outside {0, 1} stops the run as in fill_fold.
int fill_given_fold(real** covariates, int** outcomes, int n, const int* fold_of, int f,
                    fold_copies& copies);

// One cross-validation over given folds: fold_of[s] (0 .. n_folds-1) is the
// fold of subject s. Returns a new vector of n_subtrees scores.
real* cross_validate_given(real** covariates, int** outcomes, int n, const int* fold_of,
                           int n_folds, node_table& nodes, fold_copies& copies,
                           split_workspace& split, fit_workspace& fit);

// Returns a new vector of n_subtrees scores (lower is better).
real* cross_validate(real** covariates, int** outcomes, int n, int* cv_seed, int n_folds,
                     node_table& nodes, fold_copies& copies, split_workspace& split,
                     fit_workspace& fit);
