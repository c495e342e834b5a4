// decode_split_cell, decode_outcome_cell: the cell rules of korva fit applied
// to one cell of a subject to predict for.
#include "predict/cell_decoder.h"

#include <cmath>

#include "data/formatted_input.h"
#include "table/cells.h"

namespace {

enum number_result { number_ok, number_missing, number_bad, number_not_finite };

// A cell that must hold a number: the data file's rule (any token equal to
// the missing code is missing) or delimited text's (empty, NA, --na).
number_result read_number(std::string_view cell, const missing_spelling& missing, real& x) {
    if (missing.data_file) {
        const read_status status = parse_real(cell, x);
        if (status == read_not_finite) return number_not_finite;
        if (status != read_ok) return number_bad;
        return missing.has_code && x == missing.code ? number_missing : number_ok;
    }
    if (is_missing_cell(cell, missing.na)) return number_missing;
    switch (read_numeric_cell(cell, x)) {
    case cell_number:
        return number_ok;
    case cell_not_finite:
        return number_not_finite;
    case cell_text:
        break;
    }
    return number_bad;
}

} // namespace

const char* decode_split_cell(const split_column& column, std::string_view cell,
                              const missing_spelling& missing, column_value& value) {
    value.state = value_observed;
    if (column.rule == column_rule::labelled_nominal) {
        real code = 0;
        if (missing.data_file ? read_number(cell, missing, code) == number_missing
                              : is_missing_cell(cell, missing.na)) {
            value.state = value_missing;
            return nullptr;
        }
        const std::string_view label = trim_blanks(cell);
        const int known = static_cast<int>(column.labels.size());
        for (int k = 0; k < known && k < column.categories; k++) {
            if (column.labels[static_cast<std::size_t>(k)] == label) {
                value.category = k;
                return nullptr;
            }
        }
        value.state = value_unseen;
        return nullptr;
    }
    real x = 0;
    switch (read_number(cell, missing, x)) {
    case number_missing:
        value.state = value_missing;
        return nullptr;
    case number_bad:
        return column.rule == column_rule::ordered
                   ? "expected a number"
                   : "expected a whole number from 0 up (a category)";
    case number_not_finite:
        return "expected a finite number";
    case number_ok:
        break;
    }
    if (column.rule == column_rule::ordered) {
        value.x = x;
        return nullptr;
    }
    if (x < 0 || std::trunc(x) != x) return "expected a whole number from 0 up (a category)";
    if (x >= static_cast<real>(column.categories)) {
        value.state = value_unseen;
        return nullptr;
    }
    value.category = static_cast<int>(x);
    return nullptr;
}

const char* decode_outcome_cell(std::string_view cell, const missing_spelling& missing, int& y) {
    if (missing.data_file) {
        int number = 0;
        if (parse_int(cell, number) != read_ok || (number != 0 && number != 1))
            return "expected 0 or 1 (an outcome)";
        y = number;
        return nullptr;
    }
    if (is_missing_cell(cell, missing.na)) {
        y = -1;
        return nullptr;
    }
    if (!read_outcome_cell(cell, y)) return "expected 0/1, TRUE/FALSE or yes/no (an outcome)";
    return nullptr;
}
