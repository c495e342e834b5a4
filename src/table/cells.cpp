// cells: trims a cell and tells a missing value, an outcome spelling or a
// number from text, using the data file's number conversion.
#include "table/cells.h"

#include "data/formatted_input.h"

namespace {

// True when s equals word ignoring the letter case of ASCII letters; word is lower case.
bool equals_any_case(std::string_view s, std::string_view word) {
    if (s.size() != word.size()) return false;
    for (std::size_t i = 0; i < s.size(); i++) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i]) return false;
    }
    return true;
}

} // namespace

std::string_view trim_blanks(std::string_view cell) {
    while (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t')) cell.remove_prefix(1);
    while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t')) cell.remove_suffix(1);
    return cell;
}

bool is_missing_cell(std::string_view cell, const std::vector<std::string>& na_spellings) {
    cell = trim_blanks(cell);
    if (cell.empty() || cell == "NA") return true;
    for (const std::string& spelling : na_spellings) {
        if (cell == trim_blanks(spelling)) return true;
    }
    return false;
}

bool read_outcome_cell(std::string_view cell, int& value) {
    cell = trim_blanks(cell);
    int number = 0;
    if (parse_int(cell, number) == read_ok) {
        if (number != 0 && number != 1) return false;
        value = number;
    } else if (equals_any_case(cell, "true") || equals_any_case(cell, "yes")) {
        value = 1;
    } else if (equals_any_case(cell, "false") || equals_any_case(cell, "no")) {
        value = 0;
    } else {
        return false;
    }
    return true;
}

numeric_cell read_numeric_cell(std::string_view cell, real& value) {
    cell = trim_blanks(cell);
    switch (parse_real(cell, value)) {
    case read_ok:
        return cell_number;
    case read_not_finite: {
        // Either a decimal number beyond the float range or a spelling of
        // infinity or nan; of the latter only the bare words count as numbers
        // ("nancy" is text).
        std::string_view unsigned_part = cell;
        if (unsigned_part[0] == '+' || unsigned_part[0] == '-') unsigned_part.remove_prefix(1);
        const char first = unsigned_part.empty() ? ' ' : unsigned_part[0];
        if ((first >= '0' && first <= '9') || first == '.' ||
            equals_any_case(unsigned_part, "inf") || equals_any_case(unsigned_part, "infinity") ||
            equals_any_case(unsigned_part, "nan")) {
            return cell_not_finite;
        }
        return cell_text;
    }
    default:
        return cell_text;
    }
}
