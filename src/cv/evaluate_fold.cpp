// Adds into cv_scores the held-out score of every subtree of the main pruning
// sequence for one fold: grows and fits a tree on the training part, routes the
// held-out cases down it and prunes it step by step at cv_alpha.
#include "cv/evaluate_fold.h"

#include <cstdio>

#include "cv/fold_steps.h"
#include "model/node_fit.h"
#include "numeric/arrays.h"
#include "numeric/run_counts.h"
#include "prune/subtree_sums.h"
#include "tree/grow_tree.h"

void evaluate_fold(real** train_covariates, int** train_outcomes, int n_train, real* cv_scores,
                   real** test_covariates, int** test_outcomes, int n_test, node_table& nodes,
                   split_workspace& split, fit_workspace& fit) {
    int n_nodes = 0;
    grow_tree(train_covariates, train_outcomes, n_train, &n_nodes, nodes, split, fit);
    std::printf("done\n");

    const int q = n_outcomes;
    const int c = n_test;
    // The fold's working storage, allocated once here and released at the end.
    real** node_params = matrix(n_nodes, q + 1);
    real* means = dvector(q + 1);
    real* node_A = dvector(n_nodes);
    int* n_retained = ivector(n_nodes);
    int** retained = imatrix(n_nodes, q > 0 ? q : 1);
    int* fitted = ivector(n_nodes);
    int* model_node = ivector(n_nodes);
    int* held_out = ivector(n_nodes);
    real* subtree_cost = dvector(max_nodes);
    int* subtree_leaves = ivector(max_nodes);
    int* test_node = ivector(c > 0 ? c : 1);

    // Fit every node, internal ones included, and keep what each fit retained
    // and whether it wrote its normaliser.
    for (int t = 0; t < n_nodes; t++) {
        node_A[t] = 0;
        node_log_likelihood(nodes.node_stats_table[t], nodes.node_cases[t], node_params[t], means,
                            &node_A[t], fit);
        fitted[t] = fit.fitted == 1 ? 1 : 0;
        n_retained[t] = fitted[t] ? fit.n_retained : 0;
        for (int r = 0; r < n_retained[t]; r++) retained[t][r] = fit.retained[r];
    }
    assign_model_nodes(n_nodes, nodes.parent, fitted, model_node);

    drop_test_cases(test_covariates, c, nodes.split_covariate, nodes.split_value,
                    nodes.left_daughter, n_nodes, test_node);

    for (int t = 0; t < max_nodes; t++) nodes.in_subtree[t] = 1;
    subtree_sums(nodes.left_daughter, nodes.node_value, n_nodes, subtree_cost, subtree_leaves);

    for (int i = 0; i < n_subtrees; i++) {
        prune_fold_tree(n_nodes, nodes.node_value, subtree_cost, nodes.left_daughter, nodes.parent,
                        test_node, c, subtree_leaves, cv_alpha(i), nodes.in_subtree);
        test_score(test_outcomes, test_node, c, &cv_scores[i], n_nodes, node_params, node_A,
                   n_retained, retained, model_node, nodes.node_stats_table, held_out);
    }

    release_vector(test_node);
    release_vector(subtree_leaves);
    release_vector(subtree_cost);
    release_vector(held_out);
    release_vector(model_node);
    release_vector(fitted);
    release_matrix(retained, n_nodes);
    release_vector(n_retained);
    release_vector(node_A);
    release_vector(means);
    release_matrix(node_params, n_nodes);
}
