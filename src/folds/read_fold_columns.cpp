// read_fold_columns: a second pass over the data table that reads only the
// fold columns, cell by cell, then checks the table of folds.
#include "folds/read_fold_columns.h"

#include "folds/read_fold_file.h"
#include "table/cells.h"
#include "table/delimited_reader.h"
#include "table/shown_text.h"

namespace {

// The header positions of the named columns; false with message when one is
// missing.
bool locate(const delimited_reader& reader, const std::string& path,
            const std::vector<std::string>& names, std::vector<size_t>& at, std::string& message) {
    for (const std::string& name : names) {
        size_t k = 0;
        while (k < reader.header.size() && reader.header[k] != name) k++;
        if (k == reader.header.size()) {
            message =
                path + ":1: --fold-column names " + shown_text(name) + ", which is not a column";
            return false;
        }
        at.push_back(k);
    }
    return true;
}

// Opens the table and finds the named columns in its header; false with
// message when the file cannot be read or a column is missing.
bool open_and_locate(delimited_reader& reader, const std::string& path,
                     const std::vector<std::string>& names, std::vector<size_t>& at,
                     std::string& message) {
    if (!open_delimited(reader, path)) {
        message = reader.error;
        return false;
    }
    return locate(reader, path, names, at, message);
}

} // namespace

bool check_fold_column_names(const std::string& path, const std::vector<std::string>& names,
                             std::string& message) {
    delimited_reader reader;
    std::vector<size_t> at;
    return open_and_locate(reader, path, names, at, message);
}

bool read_fold_columns(const std::string& path, const std::vector<std::string>& names,
                       int n_subjects, std::vector<int>& folds, int& n_repeats, int& n_folds,
                       std::string& message) {
    delimited_reader reader;
    std::vector<size_t> at;
    if (!open_and_locate(reader, path, names, at, message)) return false;
    n_repeats = static_cast<int>(names.size());
    folds.assign(static_cast<size_t>(n_repeats) * n_subjects, 0);
    int s = 0;
    for (;;) {
        const record_status status = next_record(reader);
        if (status == record_error) {
            message = reader.error;
            return false;
        }
        if (status == record_end) break;
        for (size_t r = 0; r < at.size(); r++) {
            const std::string_view cell = trim_blanks(reader.fields[at[r]]);
            real value = 0;
            const bool whole = read_numeric_cell(cell, value) == cell_number && value >= 1 &&
                               value <= static_cast<real>(n_subjects) &&
                               value == static_cast<real>(static_cast<int>(value));
            if (!whole) {
                message = path + ":" + std::to_string(reader.line) + ": column " +
                          shown_text(names[r]) +
                          ": expected a fold, a whole number from 1, found " + shown_text(cell);
                return false;
            }
            if (s < n_subjects)
                folds[r * static_cast<size_t>(n_subjects) + s] = static_cast<int>(value) - 1;
        }
        s++;
    }
    if (s != n_subjects) {
        message = path + ": " + std::to_string(s) + " records, but the data hold " +
                  std::to_string(n_subjects) + " subjects";
        return false;
    }
    std::string source = path + ": column " + shown_text(names.front());
    return check_fold_table(source, folds, n_subjects, n_repeats, n_folds, message);
}
