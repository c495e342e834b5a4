// cells: what one cell of a delimited text table holds: a missing value, an
// outcome, or a number read exactly as the data file's values are.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "numeric/real.h"

// The cell without its leading and trailing blanks (spaces and tabs).
std::string_view trim_blanks(std::string_view cell);

// Missing: empty after trimming, "NA", or one of the extra spellings (each
// compared, trimmed, with the trimmed cell, letter case counting).
bool is_missing_cell(std::string_view cell, const std::vector<std::string>& na_spellings);

// An outcome: 0 or 1 as a whole number (as the data file writes it, so "+1"
// and "01" too), or TRUE/FALSE or yes/no in any letter case. False for
// anything else, value untouched.
bool read_outcome_cell(std::string_view cell, int& value);

enum numeric_cell {
    cell_number,     // value holds it
    cell_not_finite, // written as a number or as inf/infinity/nan, but not a finite float
    cell_text,       // anything else: not a number at all
};

// The trimmed cell converted as a data file value is: a decimal number (digits,
// an optional point, an optional exponent) correctly rounded to real.
numeric_cell read_numeric_cell(std::string_view cell, real& value);
