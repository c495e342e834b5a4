// The text view of a fitted model's subtree: the tree indented, one line per
// node with its rule, cases and outcome rates; then the outcome profiles of
// its terminal nodes with their fitted probabilities and association.
#pragma once

#include <ostream>

#include "modelfile/fitted_model.h"
#include "reportmodel/subtree_view.h"

void print_subtree(std::ostream& out, const fitted_model& model, const subtree_view& view);

void print_profiles(std::ostream& out, const fitted_model& model, const subtree_view& view);
