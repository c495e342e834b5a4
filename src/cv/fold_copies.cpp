// Allocates and releases the training and held-out copies of one fold, sized
// from the run-wide counts (n_covariates, n_subjects, n_outcomes).
#include "cv/fold_copies.h"

#include "numeric/arrays.h"
#include "numeric/run_counts.h"

void alloc_fold_copies(fold_copies& copies) {
    copies.train_covariates = matrix(n_covariates, n_subjects);
    copies.test_covariates = matrix(n_covariates, n_subjects);
    copies.train_outcomes = imatrix(n_outcomes + 1, n_subjects);
    copies.test_outcomes = imatrix(n_outcomes + 1, n_subjects);
}

void release_fold_copies(fold_copies& copies) {
    if (copies.test_outcomes != nullptr) release_matrix(copies.test_outcomes, n_outcomes + 1);
    if (copies.train_outcomes != nullptr) release_matrix(copies.train_outcomes, n_outcomes + 1);
    if (copies.test_covariates != nullptr) release_matrix(copies.test_covariates, n_covariates);
    if (copies.train_covariates != nullptr) release_matrix(copies.train_covariates, n_covariates);
    copies = fold_copies{};
}
