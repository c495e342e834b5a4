// One k-fold cross-validation of the pruning sequence: a random permutation of
// the subjects, k folds, and the summed held-out scores of every subtree.
#pragma once

#include "cv/fold_copies.h"
#include "model/fit_workspace.h"
#include "tree/node_table.h"

// n_subjects distinct subject numbers in random order, drawn with RAN1.
int* random_permutation(int* seed, int n);

// Returns a new vector of n_subtrees scores (lower is better).
real* cross_validate(real** covariates, int** outcomes, int n, int* cv_seed, int n_folds,
                     node_table& nodes, fold_copies& copies, split_workspace& split,
                     fit_workspace& fit);
