// run_analysis: grows the full tree on all subjects, writes the tree table,
// prunes the tree and runs the cross-validation repetitions, appending one row
// of scores per repetition to "infor".
#pragma once

#include "model/fit_workspace.h"
#include "tree/node_table.h"

void run_analysis(const int* cov_column, int n_folds, int n_repeats, int* cv_seed,
                  node_table& nodes, split_workspace& split, fit_workspace& fit);

// Growing and the tree table: begins the report, grows the full tree on all
// subjects and writes its table. Returns n_nodes; the node table holds the
// grown tree (node values negated) until pruning.
int grow_full_tree(const int* cov_column, node_table& nodes, split_workspace& split,
                   fit_workspace& fit);

// The first half of run_analysis: the full tree on all subjects, its table in a
// fresh "infor" and the pruning sequence (alpha, n_subtrees) appended to it.
void grow_and_prune(const int* cov_column, node_table& nodes, split_workspace& split,
                    fit_workspace& fit);

// The second half: the announcement line and n_repeats cross-validation
// repetitions, one row of scores per repetition appended to "infor". With
// n_threads > 1 the folds of all repetitions run on worker threads and the
// console text, report and any stop are those of the one-thread run.
// With kept_rows, row r of scores is also copied to kept_rows[r] (n_subtrees
// reals each, allocated by the caller).
void run_repetitions(int n_folds, int n_repeats, int* cv_seed, node_table& nodes,
                     split_workspace& split, fit_workspace& fit, real** kept_rows = nullptr);
