// One subtree of a fitted model's pruning sequence as the report shows it:
// its nodes depth first, their depths, and its terminal nodes in that order.
#pragma once

#include <string>
#include <vector>

#include "modelfile/fitted_model.h"
#include "report/report.h"

struct subtree_view {
    int k = 1;              // subtree number, from 1
    std::string chosen_by;  // how it was chosen, in words ("the one-standard-error choice")
    std::vector<int> order; // the subtree's nodes, depth first, left daughter first
    std::vector<int> depth; // per node of the grown tree (root 0)
    std::vector<int> terminal_nodes;       // the subtree's terminal nodes, in order
    std::vector<int> in_subtree, terminal; // per node of the grown tree
};

subtree_view view_of_subtree(const fitted_model& model, int k, const std::string& chosen_by);

// The model's cross-validation summary in the report reader's form, with the
// model's own means and choices (made as korva fit made them).
cv_summary model_cv_summary(const fitted_model& model);
