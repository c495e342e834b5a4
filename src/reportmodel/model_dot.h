// A fitted model's subtree as a Graphviz DOT graph: every node a small table
// with the rule that leads into it, its number and cases, and a row of cells,
// one per outcome, coloured by the outcome's observed rate with the rate in it.
#pragma once

#include <ostream>

#include "modelfile/fitted_model.h"
#include "reportmodel/subtree_view.h"

void write_model_dot(std::ostream& out, const fitted_model& model, const subtree_view& view);
