// cell_decoder: one input cell as routing and scoring need it, read exactly
// as korva fit read the training data: numbers correctly rounded to single
// precision, labels trimmed of blanks, the same missing cells and outcome
// spellings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "numeric/real.h"
#include "predict/routing_plan.h"

// How the input writes a missing value.
struct missing_spelling {
    bool data_file = false; // korva's data file: numbers only; missing is the code, if any
    bool has_code = false;
    real code = 0;
    std::vector<std::string> na; // delimited text: spellings besides an empty cell and NA
};

// Decodes a cell of a split column into value. Returns nullptr, or what was
// expected instead (e.g. "expected a number") for the caller's message.
const char* decode_split_cell(const split_column& column, std::string_view cell,
                              const missing_spelling& missing, column_value& value);

// Decodes an outcome cell: y is 0 or 1, or -1 for a missing cell. Returns
// nullptr, or what was expected instead.
const char* decode_outcome_cell(std::string_view cell, const missing_spelling& missing, int& y);
