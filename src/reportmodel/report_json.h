// The report's text view as JSON for other programs (nlohmann-json's ordered
// objects, so members come in the order of the text): the cross-validation
// table, and for a model file the chosen subtree with every node's rule,
// cases, outcome rates, fitted probabilities and association.
#pragma once

#include <nlohmann/json.hpp>

#include "modelfile/fitted_model.h"
#include "report/report.h"
#include "reportmodel/subtree_view.h"

// {"file", "kind": "report", "cross_validation": {...}}, and "subtree": k when
// one was chosen (k > 0).
nlohmann::ordered_json report_view_json(const report_file& rep, const cv_summary& sum, int k);

// The same with "kind": "model", the outcomes and the subtree's nodes.
nlohmann::ordered_json model_view_json(const fitted_model& model, const report_file& rep,
                                       const cv_summary& sum, const subtree_view& view);
