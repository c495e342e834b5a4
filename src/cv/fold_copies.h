// The training and held-out copies of one fold: whole columns of the covariate
// and outcome matrices in permutation order.
#pragma once

#include "numeric/real.h"

struct fold_copies {
    real** train_covariates = nullptr; // n_covariates x n_subjects
    real** test_covariates = nullptr;  // n_covariates x n_subjects
    int** train_outcomes = nullptr;    // q+1 x n_subjects
    int** test_outcomes = nullptr;     // q+1 x n_subjects
};

void alloc_fold_copies(fold_copies& copies);
void release_fold_copies(fold_copies& copies);

// Copies subject `from` into the held-out copies at column `to`.
void copy_test_case(real** covariates, int** outcomes, int from, fold_copies& copies, int to);

// Copies subject `from` into the training copies at column `to`, then checks
// that its outcomes are 0 or 1: any other value prints the outcome, subject,
// column and values and ends the run silently.
void copy_training_case(real** covariates, int** outcomes, int from, fold_copies& copies, int to);
