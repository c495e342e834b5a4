// Allocates and releases the training and held-out copies of one fold, sized
// from the run-wide counts (n_covariates, n_subjects, n_outcomes), and copies
// subjects into them.
#include "cv/fold_copies.h"

#include "numeric/arrays.h"
#include "numeric/console.h"
#include "numeric/fatal_error.h"
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

namespace {

void copy_column(real** covariates, int** outcomes, int from, real** cov_copy, int** out_copy,
                 int to) {
    for (int r = 0; r <= n_outcomes; r++) out_copy[r][to] = outcomes[r][from];
    for (int v = 0; v < n_covariates; v++) cov_copy[v][to] = covariates[v][from];
}

} // namespace

void copy_test_case(real** covariates, int** outcomes, int from, fold_copies& copies, int to) {
    copy_column(covariates, outcomes, from, copies.test_covariates, copies.test_outcomes, to);
}

void copy_training_case(real** covariates, int** outcomes, int from, fold_copies& copies, int to) {
    copy_column(covariates, outcomes, from, copies.train_covariates, copies.train_outcomes, to);
    for (int r = 0; r < n_outcomes; r++) {
        const int y = copies.train_outcomes[r][to];
        if (y != 0 && y != 1) {
            console_printf("%d %d %d %d %d\n", r, from, to, y, outcomes[r][from]);
            silent_exit();
        }
    }
}
