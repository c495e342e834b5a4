// The profiles picture: the terminal nodes of a subtree (rows) against the
// outcomes (columns), each cell coloured by the outcome's observed rate in the
// node with the rate written in it; each row labelled with its node and cases,
// the odds ratio of its model and the path of rules that leads to it; the
// whole data as a first row to compare with.
#pragma once

#include <ostream>
#include <string>

#include "modelfile/fitted_model.h"
#include "reportmodel/subtree_view.h"

// name: the model file's name, printed small in a corner.
void write_profiles_svg(std::ostream& out, const fitted_model& model, const subtree_view& view,
                        const std::string& name);
