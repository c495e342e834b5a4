// Adds into cv_scores the held-out score of every subtree of the main pruning
// sequence for one fold: grows and fits a tree on the training part, routes the
// held-out cases down it and prunes it step by step at cv_alpha.
#include "cv/evaluate_fold.h"

#include "cv/fold_steps.h"
#include "model/node_fit.h"
#include "model/node_model.h"
#include "numeric/arrays.h"
#include "numeric/console.h"
#include "numeric/run_counts.h"
#include "prune/subtree_sums.h"
#include "tree/grow_tree.h"

namespace {

// The fold's working storage, allocated once and released at the end (also
// when a stop captured in a worker thread leaves the fold early).
struct fold_storage {
    int n_nodes = 0;
    real** node_params = nullptr;
    real* means = nullptr;
    real* node_A = nullptr;
    int* n_retained = nullptr;
    int** retained = nullptr;
    int* fitted = nullptr;
    int* model_node = nullptr;
    int* held_out = nullptr;
    real* subtree_cost = nullptr;
    int* subtree_leaves = nullptr;
    int* test_node = nullptr;
    double* terms = nullptr;
    // Pairwise model: each node's parameters and log normaliser.
    double** pair_params = nullptr;
    double* log_normaliser = nullptr;

    ~fold_storage() {
        if (node_params == nullptr) return;
        if (pair_params != nullptr) {
            for (int t = 0; t < n_nodes; t++) delete[] pair_params[t];
            delete[] pair_params;
            delete[] log_normaliser;
        }
        delete[] terms;
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
};

} // namespace

void add_fold_scores(const fold_scores& scores, real* cv_scores) {
    for (int i = 0; i + 1 < static_cast<int>(scores.first.size()); i++) {
        add_score_terms(scores.terms.data() + scores.first[i],
                        scores.first[i + 1] - scores.first[i], &cv_scores[i]);
    }
}

void evaluate_fold(real** train_covariates, int** train_outcomes, int n_train, real* cv_scores,
                   real** test_covariates, int** test_outcomes, int n_test, node_table& nodes,
                   split_workspace& split, fit_workspace& fit) {
    fold_scores scores;
    evaluate_fold_terms(train_covariates, train_outcomes, n_train, scores, test_covariates,
                        test_outcomes, n_test, nodes, split, fit, 0);
    add_fold_scores(scores, cv_scores);
}

void evaluate_fold_terms(real** train_covariates, int** train_outcomes, int n_train,
                         fold_scores& scores, real** test_covariates, int** test_outcomes,
                         int n_test, node_table& nodes, split_workspace& split, fit_workspace& fit,
                         int helpers, helper_pool* pool) {
    int n_nodes = 0;
    grow_tree(train_covariates, train_outcomes, n_train, &n_nodes, nodes, split, fit, helpers,
              pool);
    console_printf("done\n");

    const int q = n_outcomes;
    const int c = n_test;
    fold_storage w;
    w.n_nodes = n_nodes;
    w.node_params = matrix(n_nodes, q + 1);
    w.means = dvector(q + 1);
    w.node_A = dvector(n_nodes);
    w.n_retained = ivector(n_nodes);
    w.retained = imatrix(n_nodes, q > 0 ? q : 1);
    w.fitted = ivector(n_nodes);
    w.model_node = ivector(n_nodes);
    w.held_out = ivector(n_nodes);
    w.subtree_cost = dvector(max_nodes);
    w.subtree_leaves = ivector(max_nodes);
    w.test_node = ivector(c > 0 ? c : 1);
    w.terms = new double[static_cast<size_t>(n_nodes)];
    real** node_params = w.node_params;
    real* node_A = w.node_A;
    int* n_retained = w.n_retained;
    int** retained = w.retained;
    int* fitted = w.fitted;
    int* test_node = w.test_node;
    real* means = w.means;
    int* model_node = w.model_node;

    const bool pairwise = node_model == node_model_pairwise;
    if (pairwise) {
        const int D = node_param_count(node_model_pairwise, q);
        w.log_normaliser = new double[static_cast<size_t>(n_nodes)];
        w.pair_params = new double*[static_cast<size_t>(n_nodes)]();
        for (int t = 0; t < n_nodes; t++) w.pair_params[t] = new double[static_cast<size_t>(D)];
    }

    // Fit every node, internal ones included, and keep what each fit retained
    // and whether it wrote its normaliser (pairwise: its parameters and ln Z).
    for (int t = 0; t < n_nodes; t++) {
        node_A[t] = 0;
        node_log_likelihood(nodes.node_stats_table[t], nodes.node_cases[t], node_params[t], means,
                            &node_A[t], fit);
        fitted[t] = fit.fitted == 1 ? 1 : 0;
        n_retained[t] = fitted[t] ? fit.n_retained : 0;
        for (int r = 0; r < n_retained[t]; r++) retained[t][r] = fit.retained[r];
        if (pairwise) {
            for (int d = 0; d < fit.pairwise.D; d++) w.pair_params[t][d] = fit.pairwise.params[d];
            w.log_normaliser[t] = fit.pairwise.log_normaliser;
        }
    }
    assign_model_nodes(n_nodes, nodes.parent, fitted, model_node);

    drop_test_cases(test_covariates, c, nodes.split_covariate, nodes.split_value,
                    nodes.left_daughter, n_nodes, test_node);

    for (int t = 0; t < max_nodes; t++) nodes.in_subtree[t] = 1;
    subtree_sums(nodes.left_daughter, nodes.node_value, n_nodes, w.subtree_cost, w.subtree_leaves);

    scores.terms.clear();
    scores.first.assign(1, 0);
    for (int i = 0; i < n_subtrees; i++) {
        prune_fold_tree(n_nodes, nodes.node_value, w.subtree_cost, nodes.left_daughter,
                        nodes.parent, test_node, c, w.subtree_leaves, cv_alpha(i),
                        nodes.in_subtree);
        const int n_terms =
            pairwise
                ? pairwise_score_terms(test_outcomes, test_node, c, w.terms, n_nodes, w.pair_params,
                                       w.log_normaliser, nodes.node_stats_table, w.held_out)
                : score_terms(test_outcomes, test_node, c, w.terms, n_nodes, node_params, node_A,
                              n_retained, retained, model_node, nodes.node_stats_table, w.held_out);
        scores.terms.insert(scores.terms.end(), w.terms, w.terms + n_terms);
        scores.first.push_back(static_cast<int>(scores.terms.size()));
    }
}
