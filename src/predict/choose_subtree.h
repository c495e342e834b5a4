// Which subtree of the pruning sequence korva predict applies: the one named
// by --tree, or by default the one-standard-error choice of cross-validation
// (subtree 1 when the model has no cross-validation rows).
#pragma once

#include <string>

#include "modelfile/fitted_model.h"

struct subtree_choice {
    int k = 1;       // subtree number, from 1
    std::string why; // for standard error, e.g. "the one-standard-error choice ..."
};

// tree: empty for the default, "min", "1se" or a subtree number. Throws
// predict_error when it names no subtree of the model.
subtree_choice choose_subtree(const fitted_model& model, const std::string& tree);
