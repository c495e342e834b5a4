// The run-wide cross-validation settings: the table of given folds (a copy
// owned here) and the single-case scoring switch.
#include "cv/cv_settings.h"

#include "numeric/arrays.h"
#include "numeric/run_counts.h"

int** given_folds = nullptr;
int n_given_folds = 0;
int n_given_repeats = 0;
bool score_single_held_out = false;

void set_given_folds(const int* folds, int n_repeats, int n_folds) {
    clear_given_folds();
    given_folds = imatrix(n_repeats, n_subjects);
    for (int r = 0; r < n_repeats; r++)
        for (int s = 0; s < n_subjects; s++)
            given_folds[r][s] = folds[static_cast<long>(r) * n_subjects + s];
    n_given_repeats = n_repeats;
    n_given_folds = n_folds;
}

void clear_given_folds() {
    if (given_folds != nullptr) release_matrix(given_folds, n_given_repeats);
    given_folds = nullptr;
    n_given_repeats = 0;
    n_given_folds = 0;
}
