// Fills a new cv_scores vector (one held-out score per subtree of the pruning
// sequence) by one k-fold cross-validation over a random order of the subjects.
#include "cv/cross_validate.h"

#include "cv/evaluate_fold.h"
#include "numeric/arrays.h"
#include "numeric/console.h"
#include "numeric/fatal_error.h"
#include "numeric/progress_counts.h"
#include "numeric/run_counts.h"

void fill_fold(real** covariates, int** outcomes, int n, const int* order, int c, int f,
               fold_copies& copies) {
    int m = 0;
    for (int j = 0; j < n; j++) {
        int s = order[j];
        if (c * f <= j && j < c * (f + 1)) {
            copy_test_case(covariates, outcomes, s, copies, j - c * f);
            continue;
        }
        copy_training_case(covariates, outcomes, s, copies, m);
        m++;
    }
}

real* cross_validate(real** covariates, int** outcomes, int n, int* cv_seed, int n_folds,
                     node_table& nodes, fold_copies& copies, split_workspace& split,
                     fit_workspace& fit) {
    if (n_folds < 1) input_error("the number of folds must be at least 1, not %d", n_folds);
    const int c = n / n_folds;
    real* cv_scores = dvector(n_subtrees);
    for (int i = 0; i < n_subtrees; i++) cv_scores[i] = 0;

    int* order = random_permutation(cv_seed, n);
    for (int f = 0; f < n_folds; f++) {
        fill_fold(covariates, outcomes, n, order, c, f, copies);
        evaluate_fold(copies.train_covariates, copies.train_outcomes, n - c, cv_scores,
                      copies.test_covariates, copies.test_outcomes, c, nodes, split, fit);
        console_printf("%d of %d-fold CVs finished\n", f + 1, n_folds);
        folds_finished++;
    }
    release_vector(order);
    return cv_scores;
}
