// The rules of a fitted model's tree in the data's own terms: column names,
// category labels and cuts as the user wrote them.
#pragma once

#include <string>
#include <vector>

#include "modelfile/fitted_model.h"

// The label of category c of engine covariate v: its text label, its number,
// or "missing" for the category that holds the missing values.
std::string category_label(const fitted_model& model, int covariate, int category);

// The condition that leads a case from node t's parent into t, e.g.
// "bili > 2.3", "stage <= 3", "trt in {placebo}", "chol <= 318 or missing",
// "copper is missing"; "all subjects" for the root.
std::string node_rule(const fitted_model& model, int t);

// The conditions a case meets on its way from the root to node t, one per
// column in the order the path first splits on it; the bounds of an ordered
// column are merged ("2.3 < bili <= 10") and so are the category sets of a
// nominal one. Empty for the root.
std::vector<std::string> path_conditions(const fitted_model& model, int t);
