// run_analysis: the full tree, its table, the pruning sequence and the scores of
// every cross-validation repetition, in this order.
#include "driver/run_analysis.h"

#include <cstdio>

#include "driver/report_file.h"
#include "driver/write_tree_table.h"
#include "numeric/console.h"
#include "numeric/run_counts.h"
#include "numeric/thread_count.h"
#include "prune/prune_sequence.h"
#include "tree/grow_tree.h"

int grow_full_tree(const int* cov_column, node_table& nodes, split_workspace& split,
                   fit_workspace& fit) {
    // A report that cannot be written is found now, not after the work; an
    // earlier report stays as it is until the whole run is complete.
    begin_report();

    int n_nodes = 0;
    // The full tree's large nodes are searched on every thread of the run.
    grow_tree(covariate_matrix, outcome_matrix, n_subjects, &n_nodes, nodes, split, fit,
              n_threads - 1);
    console_printf("done\n");

    std::FILE* report = open_report("w");
    write_tree_table(report, n_nodes, nodes.split_covariate, nodes.left_daughter, nodes.node_cases,
                     cov_column, nodes.split_value, nodes.node_value);
    close_report(report);
    return n_nodes;
}

void grow_and_prune(const int* cov_column, node_table& nodes, split_workspace& split,
                    fit_workspace& fit) {
    const int n_nodes = grow_full_tree(cov_column, nodes, split, fit);
    prune_sequence(nodes, n_nodes);
}

void run_analysis(const int* cov_column, int n_folds, int n_repeats, int* cv_seed,
                  node_table& nodes, split_workspace& split, fit_workspace& fit) {
    grow_and_prune(cov_column, nodes, split, fit);
    run_repetitions(n_folds, n_repeats, cv_seed, nodes, split, fit);
    finish_report();
}
