// input_layout: the input's columns matched by name with what prediction
// reads: the columns the subtree splits on, the outcome columns (all or none
// are read) and the columns --keep copies to the output.
#pragma once

#include <string>
#include <vector>

#include "modelfile/fitted_model.h"
#include "predict/routing_plan.h"

struct input_layout {
    std::vector<int> slot_column;    // per plan column: its input column
    std::vector<int> outcome_column; // per outcome: its input column (empty: not all present)
    std::vector<std::string> absent_outcomes; // outcome columns the input lacks
    std::vector<int> keep_column;             // per --keep entry: its input column
    // The input columns read for routing and scoring, ascending, with what each
    // is read for: a plan column's slot and/or an outcome index (-1: not that).
    struct use {
        int column = 0;
        int slot = -1;
        int outcome = -1;
    };
    std::vector<use> reads;
    std::vector<bool> kept; // per input column: copied to the output
};

// Matches header (the input's column names) against the plan's columns, the
// model's outcomes and the --keep names. Throws predict_error, beginning with
// `where` (e.g. "FILE:1"), when a split column or a kept column is missing,
// listing the columns the input has.
input_layout match_columns(const std::vector<std::string>& header, const routing_plan& plan,
                           const fitted_model& model, const std::vector<std::string>& keep,
                           const std::string& where);
