// The fitted model seen as a report file (tree table, pruning block, score
// rows), so that the report reader's subtree and cross-validation summaries
// serve both.
#pragma once

#include "modelfile/fitted_model.h"
#include "report/report.h"

report_file model_as_report(const fitted_model& model, const std::string& name);

// Fills model.cv's means, standard errors and the lowest-mean and
// one-standard-error choices from its rows.
void summarize_model_cv(fitted_model& model);
