// The fitted model of a korva fit run, built from the engine's state: the
// grown tree (taken before pruning cuts it), each node refitted with the node
// model's own fit, the pruning sequence and the cross-validation rows.
#pragma once

#include "model/fit_workspace.h"
#include "modelfile/fitted_model.h"
#include "numeric/real.h"
#include "table/data_description.h"
#include "tree/node_table.h"

// The data description and the covariate map (cov_column, cov_levels, the
// value every missing case got) of the prepared data.
void describe_model_data(const data_description& description, const int* cov_column,
                         fitted_model& model);

// The grown tree in the node table, as growing left it (node values negated),
// before pruning; needs describe_model_data first.
void snapshot_grown_tree(const node_table& nodes, int n_nodes, fitted_model& model);

// Fits every node's statistics with the node model's fit, as cross-validation
// fits the nodes of a fold tree, and fills each node's model: parameters,
// normaliser, the scoring node and each outcome's probability. Returns the
// number of the first node whose refitted value differs from its stored value
// (in bits), or -1 when all agree.
int fit_node_models(fitted_model& model, const node_table& nodes, fit_workspace& fit);

// The pruning sequence: alpha of every subtree and the nodes made terminal to
// reach it (the lists prune_sequence returns, count first).
void add_pruning(fitted_model& model, int n_subtrees, const real* alpha, int** pruned_nodes);

// The cross-validation rows (n_repeats rows of n_subtrees scores) and their
// summary: means, standard errors and the two choices.
void add_cross_validation(fitted_model& model, int n_folds, int n_repeats, real** rows);

// The nodes of subtree k (1-based): in_subtree and terminal flags per node.
void model_subtree_membership(const fitted_model& model, int k, std::vector<int>& in_subtree,
                              std::vector<int>& terminal);
