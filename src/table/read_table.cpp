// read_table: resolves the column options against the header row, converts
// every record's cells column by column, and settles each covariate column's
// kind and categories once the whole file is read.
#include "table/read_table.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <exception>
#include <new>
#include <numeric>
#include <unordered_map>

#include "table/cells.h"
#include "table/delimited_reader.h"
#include "table/shown_text.h"

namespace {

// What a covariate column needs while its rows are read, before it is known
// whether it holds numbers or text labels.
struct column_state {
    bool text = false;     // a cell that is not a number has been seen
    bool too_many = false; // more than max_table_categories distinct cells: ids not kept
    std::vector<std::string> dictionary; // distinct observed cells in order of appearance
    std::vector<unsigned char> ids;      // each row's index into dictionary (0 where missing)
    // The first cell to refuse should the column turn out to hold numbers.
    long long refused_line = 0;
    std::string refused_text;
    const char* refused_expected = nullptr;
};

struct reading {
    const std::string& name;
    const table_options& options;
    data_table& table;
    std::vector<column_state> states;
    std::string& error;
};

bool fail(reading& in, long long line, const std::string& what) {
    in.error = in.name + ":" + std::to_string(line) + ": " + what;
    return false;
}

bool cell_fail(reading& in, long long line, const table_column& column, const std::string& what) {
    return fail(in, line, "column " + shown_text(column.name) + ": " + what);
}

// The header's names for a message, at most 20 of them.
std::string column_list(const std::vector<std::string>& header) {
    std::string list;
    for (std::size_t k = 0; k < header.size() && k < 20; k++) {
        list += (k > 0 ? ", " : "") + shown_text(header[k]);
    }
    if (header.size() > 20) list += ", ...";
    return list;
}

// Sets each column's name and, for the columns the options name, its kind.
bool assign_kinds(reading& in, const std::vector<std::string>& header) {
    struct named_list {
        const std::vector<std::string>& names;
        const char* option;
        column_kind kind;
    };
    const named_list lists[] = {{in.options.outcomes, "--outcomes", column_outcome},
                                {in.options.nominal, "--nominal", column_nominal},
                                {in.options.ordinal, "--ordinal", column_ordinal},
                                {in.options.ignore, "--ignore", column_ignored}};
    std::unordered_map<std::string_view, std::size_t> index;
    for (std::size_t k = 0; k < header.size(); k++) index.emplace(header[k], k);
    std::vector<const char*> named_by(header.size(), nullptr);
    in.table.columns.resize(header.size());
    for (std::size_t k = 0; k < header.size(); k++) in.table.columns[k].name = header[k];
    for (const named_list& list : lists) {
        for (const std::string& given : list.names) {
            const std::string_view name = trim_blanks(given);
            auto found = index.find(name);
            if (found == index.end()) {
                return fail(in, 1,
                            std::string(list.option) + " names " + shown_text(name) +
                                ", which is not a column (the columns are " + column_list(header) +
                                ")");
            }
            const std::size_t k = found->second;
            if (named_by[k] != nullptr && named_by[k] != list.option) {
                return fail(in, 1,
                            "column " + shown_text(name) + " is named by both " + named_by[k] +
                                " and " + list.option + " (expected each column in one list only)");
            }
            named_by[k] = list.option;
            in.table.columns[k].kind = list.kind;
            in.table.columns[k].declared = true;
        }
    }
    const bool any_covariate =
        std::any_of(in.table.columns.begin(), in.table.columns.end(), [](const table_column& c) {
            return c.kind != column_outcome && c.kind != column_ignored;
        });
    if (!any_covariate) {
        return fail(in, 1,
                    "no covariate column (expected at least one column that is neither an "
                    "outcome nor ignored)");
    }
    return true;
}

bool read_outcome(reading& in, table_column& column, std::string_view cell, long long line) {
    int value = 0;
    const char* expected = "expected 0/1, TRUE/FALSE or yes/no, found ";
    // An outcome spelling wins over a missing spelling: --na 0 names missing
    // covariate values, as the dialogue's missing code does, never outcomes.
    if (read_outcome_cell(cell, value)) {
        column.outcome.push_back(static_cast<unsigned char>(value));
        return true;
    }
    if (is_missing_cell(cell, in.options.na)) {
        return cell_fail(in, line, column,
                         expected + shown_text(cell) +
                             ", a missing outcome (rows with a missing outcome must be dropped "
                             "first)");
    }
    return cell_fail(in, line, column,
                     expected + shown_text(cell) +
                         " (rows whose outcome is not one of these must be dropped or recoded "
                         "first)");
}

// Keeps the index of the cell's text among the column's distinct texts while
// there are at most max_table_categories of them.
bool note_distinct(reading& in, table_column& column, column_state& state, std::string_view cell,
                   long long line) {
    if (state.too_many) return true;
    std::size_t id = 0;
    while (id < state.dictionary.size() && state.dictionary[id] != cell) id++;
    if (id == state.dictionary.size()) {
        if (id == static_cast<std::size_t>(max_table_categories)) {
            if (state.text) {
                return cell_fail(in, line, column,
                                 "expected at most " + std::to_string(max_table_categories) +
                                     " categories, found a further label " + shown_text(cell));
            }
            state.too_many = true;
            std::vector<unsigned char>().swap(state.ids);
            return true;
        }
        state.dictionary.emplace_back(cell);
    }
    state.ids.push_back(static_cast<unsigned char>(id));
    return true;
}

bool read_covariate(reading& in, table_column& column, column_state& state, std::string_view cell,
                    long long line) {
    const bool keeps_texts = column.kind != column_ordinal;
    if (is_missing_cell(cell, in.options.na)) {
        column.values.push_back(0);
        column.missing.push_back(1);
        column.missing_count++;
        if (keeps_texts && !state.too_many) state.ids.push_back(0);
        return true;
    }
    cell = trim_blanks(cell);
    column.values.push_back(0);
    column.missing.push_back(0);
    if (keeps_texts && !note_distinct(in, column, state, cell, line)) return false;
    if (state.text) return true; // a label, numbered at the end
    real value = 0;
    switch (read_numeric_cell(cell, value)) {
    case cell_number:
        column.values.back() = value;
        if (column.kind == column_nominal && state.refused_line == 0 &&
            (value < 0 || std::trunc(value) != value)) {
            state.refused_line = line;
            state.refused_text = cell;
            state.refused_expected = "expected a whole number from 0 up (a category), found ";
        }
        return true;
    case cell_not_finite:
        if (column.kind == column_ordinal) {
            return cell_fail(in, line, column,
                             "expected a finite number, found " + shown_text(cell));
        }
        if (state.refused_line == 0) {
            state.refused_line = line;
            state.refused_text = cell;
            state.refused_expected = "expected a finite number, found ";
        }
        return true;
    case cell_text:
        break;
    }
    if (column.kind == column_ordinal) {
        return cell_fail(in, line, column, "expected a number, found " + shown_text(cell));
    }
    if (state.too_many) {
        return cell_fail(in, line, column,
                         "expected numbers, or text of at most " +
                             std::to_string(max_table_categories) + " categories, found " +
                             shown_text(cell) + " among more than " +
                             std::to_string(max_table_categories) + " distinct values");
    }
    state.text = true;
    return true;
}

bool too_many_categories(reading& in, const table_column& column, double categories,
                         const std::string& which) {
    const double total = categories + (column.missing_count > 0 ? 1 : 0);
    if (total <= max_table_categories) return false;
    char count[64];
    std::snprintf(count, sizeof count, "%.0f", total);
    cell_fail(in, 1, column,
              "expected at most " + std::to_string(max_table_categories) + " categories, found " +
                  count + " (" + which +
                  (column.missing_count > 0 ? ", and one for missing values)" : ")"));
    return true;
}

// Numbers the labels of a column holding text in byte order of the labels.
bool settle_labels(reading& in, table_column& column, column_state& state) {
    if (!column.declared) column.kind = column_nominal;
    const std::size_t k = state.dictionary.size();
    if (too_many_categories(in, column, static_cast<double>(k), std::to_string(k) + " labels")) {
        return false;
    }
    std::vector<std::size_t> order(k);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return state.dictionary[a] < state.dictionary[b];
    });
    std::vector<real> category_of_id(k);
    for (std::size_t c = 0; c < k; c++) {
        category_of_id[order[c]] = static_cast<real>(c);
        column.labels.push_back(std::move(state.dictionary[order[c]]));
    }
    for (std::size_t row = 0; row < column.values.size(); row++) {
        if (column.missing[row] == 0) column.values[row] = category_of_id[state.ids[row]];
    }
    column.categories = static_cast<int>(k);
    return true;
}

// Decides a covariate column's kind and categories from all its cells.
bool settle_column(reading& in, table_column& column, column_state& state) {
    if (column.kind == column_ordinal) return true;
    if (state.text) return settle_labels(in, column, state);
    if (state.refused_line != 0) {
        return cell_fail(in, state.refused_line, column,
                         state.refused_expected + shown_text(state.refused_text));
    }
    if (column.kind == column_nominal) {
        real largest = -1;
        for (std::size_t row = 0; row < column.values.size(); row++) {
            if (column.missing[row] == 0) largest = std::max(largest, column.values[row]);
        }
        const double categories = static_cast<double>(largest) + 1;
        char numbers[80];
        std::snprintf(numbers, sizeof numbers, "the numbers 0 to %.0f",
                      static_cast<double>(largest));
        if (too_many_categories(in, column, categories, numbers)) return false;
        column.categories = static_cast<int>(categories);
    }
    return true;
}

bool read_rows(reading& in, delimited_reader& reader) {
    std::vector<table_column>& columns = in.table.columns;
    const long long first_line = reader.next_line;
    record_status status;
    while ((status = next_record(reader)) == record_ok) {
        if (in.table.rows == INT_MAX) {
            return fail(in, reader.line,
                        "more than " + std::to_string(INT_MAX) + " rows (expected fewer)");
        }
        for (std::size_t k = 0; k < columns.size(); k++) {
            table_column& column = columns[k];
            const std::string_view cell = reader.fields[k];
            switch (column.kind) {
            case column_ignored:
                break;
            case column_outcome:
                if (!read_outcome(in, column, cell, reader.line)) return false;
                break;
            default:
                if (!read_covariate(in, column, in.states[k], cell, reader.line)) return false;
            }
        }
        in.table.rows++;
    }
    if (status == record_error) {
        in.error = reader.error;
        return false;
    }
    if (in.table.rows == 0) {
        return fail(in, first_line, "no data row (expected at least one record after the header)");
    }
    return true;
}

bool read_opened(reading& in, delimited_reader& reader) {
    in.table.delimiter = reader.delimiter;
    if (!assign_kinds(in, reader.header)) return false;
    in.states.resize(in.table.columns.size());
    if (!read_rows(in, reader)) return false;
    for (std::size_t k = 0; k < in.table.columns.size(); k++) {
        table_column& column = in.table.columns[k];
        if (column.kind == column_outcome || column.kind == column_ignored) continue;
        if (!settle_column(in, column, in.states[k])) return false;
        in.states[k] = column_state();
    }
    return true;
}

bool read_guarded(std::FILE* file, const std::string& name, const table_options& options,
                  data_table& table, std::string& error) {
    table = data_table();
    reading in{name, options, table, {}, error};
    if (options.outcomes.empty()) {
        error = name + ": no outcome column named (expected --outcomes with at least one column)";
        return false;
    }
    try {
        delimited_reader reader;
        const bool opened = file != nullptr ? open_delimited_stream(reader, file, name)
                                            : open_delimited(reader, name);
        if (!opened) {
            error = reader.error;
            return false;
        }
        return read_opened(in, reader);
    } catch (const std::bad_alloc&) {
        error = name + ": not enough memory to hold the table";
    } catch (const std::exception& e) {
        error = name + ": cannot read the table (" + e.what() + ")";
    }
    return false;
}

} // namespace

bool read_table(const std::string& path, const table_options& options, data_table& table,
                std::string& error) {
    return read_guarded(nullptr, path, options, table, error);
}

bool read_table_stream(std::FILE* file, const std::string& name, const table_options& options,
                       data_table& table, std::string& error) {
    return read_guarded(file, name, options, table, error);
}
