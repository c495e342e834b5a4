// run_repetitions: the cross-validation repetitions, one after another on the
// calling thread, or with their folds on worker threads (parallel_repetitions).
#include <cstdio>
#include <vector>

#include "cv/cross_validate.h"
#include "cv/fold_copies.h"
#include "driver/parallel_repetitions.h"
#include "driver/report_file.h"
#include "driver/run_analysis.h"
#include "numeric/arrays.h"
#include "numeric/console.h"
#include "numeric/run_counts.h"
#include "numeric/thread_count.h"

void write_score_row(std::FILE* report, const real* cv_scores) {
    for (int i = 0; i < n_subtrees; i++)
        std::fprintf(report, "%8.2f ", static_cast<double>(cv_scores[i]));
    std::fprintf(report, "\n");
    flush_report(report);
}

void run_repetitions(int n_folds, int n_repeats, int* cv_seed, node_table& nodes,
                     split_workspace& split, fit_workspace& fit, real** kept_rows) {
    std::vector<real*> cv_results(static_cast<size_t>(n_repeats));
    std::FILE* report = open_report("a");
    console_printf("%d-fold CV will be repeated %d times ", n_folds, n_repeats);
    console_printf("and it can take a while ... \n");
    // A fold count below 1 is refused by cross_validate, in the first round.
    if (n_threads > 1 && n_folds >= 1 && n_repeats > 0) {
        parallel_repetitions(n_folds, n_repeats, cv_seed, report, cv_results.data());
    } else {
        fold_copies copies;
        alloc_fold_copies(copies);
        for (int r = 1; r <= n_repeats; r++) {
            console_printf("round %d\n", r);
            console_printf("========\n");
            real* cv_scores = cross_validate(covariate_matrix, outcome_matrix, n_subjects, cv_seed,
                                             n_folds, nodes, copies, split, fit);
            cv_results[r - 1] = cv_scores;
            write_score_row(report, cv_scores);
        }
        release_fold_copies(copies);
    }
    close_report(report);
    for (int r = 0; r < n_repeats && kept_rows != nullptr; r++)
        for (int i = 0; i < n_subtrees; i++) kept_rows[r][i] = cv_results[r][i];
    for (real* cv_scores : cv_results) release_vector(cv_scores);
}
