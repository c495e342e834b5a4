// predict_subjects: every subject of a data file down the chosen subtree, one
// output row each, in input order; memory does not grow with the subjects.
#pragma once

#include <string>
#include <vector>

#include "modelfile/fitted_model.h"
#include "predict/csv_output.h"
#include "predict/predict_options.h"

struct prediction_summary {
    long long subjects = 0;
    bool loglik = false;
    std::vector<std::string> absent_outcomes; // outcome columns the input lacks
    long long missing_outcome_rows = 0;       // subjects whose loglik is empty
    std::string missing_code_note;            // where a data file's missing code came from
    // Per column the subtree splits on: subjects routed to the daughter with
    // more training cases for a missing value without a rule / an unseen value.
    std::vector<std::string> columns;
    std::vector<long long> fallback_missing, fallback_unseen;
};

// Reads options.data (delimited text with a header row, or korva's data file),
// routes every subject down subtree k of the model and writes the CSV to out.
// Throws predict_error ("FILE:LINE: ...") on the first thing refused.
void predict_subjects(const fitted_model& model, const predict_options& options, int k,
                      csv_output& out, prediction_summary& summary);
