// Fills a new cv_scores vector by one cross-validation over folds given for
// every subject instead of drawn: fold f holds out exactly the subjects whose
// given fold is f and trains on all the others, both in subject order.
#include "cv/cross_validate.h"
#include "cv/evaluate_fold.h"
#include "numeric/arrays.h"
#include "numeric/console.h"
#include "numeric/run_counts.h"

int fill_given_fold(real** covariates, int** outcomes, int n, const int* fold_of, int f,
                    fold_copies& copies) {
    int m = 0;
    int held = 0;
    for (int s = 0; s < n; s++) {
        if (fold_of[s] == f) {
            copy_test_case(covariates, outcomes, s, copies, held);
            held++;
            continue;
        }
        copy_training_case(covariates, outcomes, s, copies, m);
        m++;
    }
    return held;
}

real* cross_validate_given(real** covariates, int** outcomes, int n, const int* fold_of,
                           int n_folds, node_table& nodes, fold_copies& copies,
                           split_workspace& split, fit_workspace& fit) {
    real* cv_scores = dvector(n_subtrees);
    for (int i = 0; i < n_subtrees; i++) cv_scores[i] = 0;
    for (int f = 0; f < n_folds; f++) {
        const int c = fill_given_fold(covariates, outcomes, n, fold_of, f, copies);
        evaluate_fold(copies.train_covariates, copies.train_outcomes, n - c, cv_scores,
                      copies.test_covariates, copies.test_outcomes, c, nodes, split, fit);
        console_printf("%d of %d-fold CVs finished\n", f + 1, n_folds);
    }
    return cv_scores;
}
