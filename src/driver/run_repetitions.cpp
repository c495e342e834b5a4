// run_repetitions: the cross-validation repetitions, one after another on the
// calling thread, or with their folds on worker threads (parallel_repetitions),
// on drawn folds or on the given ones (cv/cv_settings.h).
#include <cstdio>

#include "cv/cross_validate.h"
#include "cv/cv_settings.h"
#include "cv/fold_copies.h"
#include "driver/parallel_repetitions.h"
#include "driver/report_file.h"
#include "driver/run_analysis.h"
#include "numeric/arrays.h"
#include "numeric/console.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"
#include "numeric/thread_count.h"

void write_score_row(std::FILE* report, const real* cv_scores) {
    for (int i = 0; i < n_subtrees; i++)
        std::fprintf(report, "%8.2f ", static_cast<double>(cv_scores[i]));
    std::fprintf(report, "\n");
    flush_report(report);
}

void finish_repetition(int r, real* cv_scores, std::FILE* report, real** kept_rows) {
    write_score_row(report, cv_scores);
    if (kept_rows != nullptr)
        for (int i = 0; i < n_subtrees; i++) kept_rows[r][i] = cv_scores[i];
    release_vector(cv_scores);
}

void run_repetitions(int n_folds, int n_repeats, int* cv_seed, node_table& nodes,
                     split_workspace& split, fit_workspace& fit, real** kept_rows) {
    // Given folds fix both counts; a caller that passed others is at fault.
    if (given_folds != nullptr && (n_folds != n_given_folds || n_repeats != n_given_repeats)) {
        input_error("the given folds are %d folds in %d repetitions, not %d in %d", n_given_folds,
                    n_given_repeats, n_folds, n_repeats);
    }
    std::FILE* report = open_report("a");
    console_printf("%d-fold CV will be repeated %d times ", n_folds, n_repeats);
    console_printf("and it can take a while ... \n");
    // A fold count below 1 is refused by cross_validate, in the first round.
    if (n_threads > 1 && n_folds >= 1 && n_repeats > 0) {
        parallel_repetitions(n_folds, n_repeats, cv_seed, report, kept_rows);
    } else {
        // Each repetition's scores are written and released as soon as it
        // ends, so memory does not grow with the number of repetitions.
        fold_copies copies;
        alloc_fold_copies(copies);
        for (int r = 1; r <= n_repeats; r++) {
            console_printf("round %d\n", r);
            console_printf("========\n");
            real* cv_scores =
                given_folds != nullptr
                    ? cross_validate_given(covariate_matrix, outcome_matrix, n_subjects,
                                           given_folds[r - 1], n_folds, nodes, copies, split, fit)
                    : cross_validate(covariate_matrix, outcome_matrix, n_subjects, cv_seed, n_folds,
                                     nodes, copies, split, fit);
            finish_repetition(r - 1, cv_scores, report, kept_rows);
        }
        release_fold_copies(copies);
    }
    close_report(report);
}
