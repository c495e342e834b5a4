// run_analysis: the full tree, its table, the pruning sequence and the scores of
// every cross-validation repetition, in this order.
#include "driver/run_analysis.h"

#include <cstdio>
#include <vector>

#include "cv/cross_validate.h"
#include "cv/fold_copies.h"
#include "driver/report_file.h"
#include "driver/write_tree_table.h"
#include "numeric/arrays.h"
#include "numeric/run_counts.h"
#include "prune/prune_sequence.h"
#include "tree/grow_tree.h"

void grow_and_prune(const int* cov_column, node_table& nodes, split_workspace& split,
                    fit_workspace& fit) {
    // A report that cannot be written is found now, not after the work; an
    // earlier report stays as it is until the new tree is grown.
    check_report_writable();

    int n_nodes = 0;
    grow_tree(covariate_matrix, outcome_matrix, n_subjects, &n_nodes, nodes, split, fit);
    std::printf("done\n");

    std::FILE* report = open_report("w");
    write_tree_table(report, n_nodes, nodes.split_covariate, nodes.left_daughter, nodes.node_cases,
                     cov_column, nodes.split_value, nodes.node_value);
    close_report(report);

    prune_sequence(nodes, n_nodes);
}

void run_repetitions(int n_folds, int n_repeats, int* cv_seed, node_table& nodes,
                     split_workspace& split, fit_workspace& fit) {
    fold_copies copies;
    alloc_fold_copies(copies);
    std::vector<real*> cv_results(static_cast<size_t>(n_repeats));

    std::FILE* report = open_report("a");
    std::printf("%d-fold CV will be repeated %d times ", n_folds, n_repeats);
    std::printf("and it can take a while ... \n");
    for (int r = 1; r <= n_repeats; r++) {
        std::printf("round %d\n", r);
        std::printf("========\n");
        real* cv_scores = cross_validate(covariate_matrix, outcome_matrix, n_subjects, cv_seed,
                                         n_folds, nodes, copies, split, fit);
        cv_results[r - 1] = cv_scores;
        for (int i = 0; i < n_subtrees; i++)
            std::fprintf(report, "%8.2f ", static_cast<double>(cv_scores[i]));
        std::fprintf(report, "\n");
        flush_report(report);
    }
    close_report(report);
    release_fold_copies(copies);
    for (real* cv_scores : cv_results) release_vector(cv_scores);
}

void run_analysis(const int* cov_column, int n_folds, int n_repeats, int* cv_seed,
                  node_table& nodes, split_workspace& split, fit_workspace& fit) {
    grow_and_prune(cov_column, nodes, split, fit);
    run_repetitions(n_folds, n_repeats, cv_seed, nodes, split, fit);
}
