// load_table_data: a table of named columns read into korva's run-wide arrays
// (type codes, covariate rows, outcome rows) and prepared.
#include "fit/load_table_data.h"

#include <cfloat>
#include <cmath>
#include <string>

#include "data/read_data_file.h"
#include "fit/load_fit_data.h"
#include "numeric/arrays.h"
#include "numeric/fatal_error.h"
#include "numeric/printable_text.h"
#include "numeric/run_counts.h"
#include "table/read_table.h"

namespace {

// The type code of korva's data file for a column kind.
int type_code(column_kind kind) {
    switch (kind) {
    case column_outcome:
        return -1;
    case column_ignored:
        return 0;
    case column_nominal:
        return 3;
    case column_ordinal:
        return 2;
    case column_continuous:
        return 1;
    }
    return 1;
}

// A real that no observed covariate value equals, to stand for a missing cell:
// the lowest real, or the next one above it that is free. The engine then
// treats missing cells exactly as it treats the dialogue's missing code,
// whatever numbers the table holds.
real free_missing_code(const data_table& table) {
    real code = -FLT_MAX;
    for (;;) {
        bool taken = false;
        for (const table_column& col : table.columns) {
            if (col.kind == column_outcome || col.kind == column_ignored) continue;
            for (size_t r = 0; r < col.values.size() && !taken; r++)
                taken = col.missing[r] == 0 && col.values[r] == code;
            if (taken) break;
        }
        if (!taken) return code;
        code = std::nextafter(code, 0.0f);
    }
}

// Names and labels go into the model file, which is UTF-8 JSON.
void require_utf8(const std::string& file, const data_table& table) {
    for (const table_column& col : table.columns) {
        if (!is_utf8_text(col.name))
            input_error("%s: column name \"%s\" is not UTF-8 text; names and labels are kept "
                        "in the model file, which is UTF-8 (convert the file, e.g. with iconv)",
                        file.c_str(), printable_text(col.name).c_str());
        for (const std::string& label : col.labels)
            if (!is_utf8_text(label))
                input_error("%s: column \"%s\": label \"%s\" is not UTF-8 text; names and "
                            "labels are kept in the model file, which is UTF-8 (convert the file, "
                            "e.g. with iconv)",
                            file.c_str(), printable_text(col.name).c_str(),
                            printable_text(label).c_str());
    }
}

std::string missing_rule(const fit_options& options) {
    std::string rule = "empty cells and NA";
    for (const std::string& na : options.na) rule += ", \"" + na + "\"";
    return rule;
}

std::string delimiter_name(char delimiter) {
    if (delimiter == ';') return "semicolon-separated";
    if (delimiter == '\t') return "tab-separated";
    return "comma-separated";
}

} // namespace

int* load_table_data(const fit_options& options, data_description& description) {
    table_options wanted;
    wanted.outcomes = options.outcomes;
    wanted.nominal = options.nominal;
    wanted.ordinal = options.ordinal;
    wanted.ignore = options.ignore;
    wanted.na = options.na;
    data_table table;
    std::string error;
    if (!read_table(options.data, wanted, table, error)) input_error("%s", error.c_str());
    require_utf8(options.data, table);

    const int subjects = table.rows;
    const int columns = static_cast<int>(table.columns.size());
    int q = 0;
    int d = 0;
    for (const table_column& col : table.columns) {
        if (col.kind == column_outcome) q++;
        if (col.kind != column_outcome && col.kind != column_ignored) d++;
    }
    check_data_counts(options.data.c_str(), subjects, columns - q, q);
    const int p = columns - q;

    // The arrays korva's data file reader fills, in the same shapes.
    n_subjects = subjects;
    set_outcome_counts(q);
    col_type = ivector(columns + 1);
    cov_levels = ivector(q + 2 * p + 1);
    int* cov_column = ivector(q + 2 * p + 1);
    outcome_matrix = imatrix(q + 1, subjects);
    covariate_matrix = matrix(2L * d, subjects);
    const real code = free_missing_code(table);
    int c = 0;
    int o = 0;
    for (int k = 0; k < columns; k++) {
        const table_column& col = table.columns[static_cast<size_t>(k)];
        col_type[k] = type_code(col.kind);
        if (col.kind == column_outcome) {
            for (int s = 0; s < subjects; s++) outcome_matrix[o][s] = col.outcome[s];
            o++;
        } else if (col.kind != column_ignored) {
            cov_column[c] = k;
            real* row = covariate_matrix[c];
            for (int s = 0; s < subjects; s++) row[s] = col.missing[s] != 0 ? code : col.values[s];
            c++;
        }
    }
    n_covariates = d;

    description.source = options.data;
    description.format = "delimited text (" + delimiter_name(table.delimiter) + ")";
    description.delimiter = table.delimiter;
    description.missing_rule = missing_rule(options);
    describe_raw_data(columns, 1, code, description);
    for (int k = 0; k < columns; k++) {
        const table_column& col = table.columns[static_cast<size_t>(k)];
        column_description& out = description.columns[static_cast<size_t>(k)];
        out.name = col.name;
        out.labels = col.labels;
        out.inferred = col.kind == column_nominal && !col.declared;
    }
    prepare_data(1, code, cov_column);
    describe_categories(cov_column, description);
    return cov_column;
}
