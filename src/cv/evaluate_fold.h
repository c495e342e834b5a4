// evaluate_fold: grows a tree on a fold's training part, fits every node, drops
// the held-out cases down it, prunes it along the main alpha sequence and adds
// each subtree's held-out score into cv_scores.
#pragma once

#include <vector>

#include "model/fit_workspace.h"
#include "tree/node_table.h"

// The held-out score terms of one fold: for subtree i, the contributions of
// the nodes in node order are terms[first[i]] .. terms[first[i+1]-1].
struct fold_scores {
    std::vector<double> terms;
    std::vector<int> first; // n_subtrees + 1
};

// The work of evaluate_fold with the scores kept as terms, not yet added; the
// fold tree is grown with `helpers` split-search helper threads and those
// the pool lends (when not null).
struct helper_pool;
void evaluate_fold_terms(real** train_covariates, int** train_outcomes, int n_train,
                         fold_scores& scores, real** test_covariates, int** test_outcomes,
                         int n_test, node_table& nodes, split_workspace& split, fit_workspace& fit,
                         int helpers, helper_pool* pool = nullptr);

// Adds a fold's terms into cv_scores, subtree after subtree, node after node,
// storing each entry as a real after every term.
void add_fold_scores(const fold_scores& scores, real* cv_scores);

void evaluate_fold(real** train_covariates, int** train_outcomes, int n_train, real* cv_scores,
                   real** test_covariates, int** test_outcomes, int n_test, node_table& nodes,
                   split_workspace& split, fit_workspace& fit);

// The value the fold trees are pruned at for subtree i of the main sequence.
real cv_alpha(int i);
