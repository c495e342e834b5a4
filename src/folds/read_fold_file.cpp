// read_fold_file / check_fold_table: reads a fold file field by field, with
// the line and column of the first fault, and checks that every repetition
// numbers the same count of folds without gaps.
#include "folds/read_fold_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

bool fail(std::string& message, const std::string& text) {
    message = text;
    return false;
}

std::string place(const std::string& path, long line, int column = 0) {
    std::string where = path + ": line " + std::to_string(line);
    if (column > 0) where += ", column " + std::to_string(column);
    return where + ": ";
}

bool is_blank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\v' || ch == '\f';
}

// The fields of one line, separated by blanks.
std::vector<std::string> fields_of(const std::string& line) {
    std::vector<std::string> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && is_blank(line[i])) i++;
        size_t start = i;
        while (i < line.size() && !is_blank(line[i])) i++;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

// A whole number: an optional sign and 1 to 9 digits (larger values are
// reported as above the number of subjects). Returns false if the field is
// not one; sets *too_large when it has more digits.
bool whole_number(const std::string& field, long* value, bool* too_large) {
    size_t i = field[0] == '+' || field[0] == '-' ? 1 : 0;
    if (i == field.size()) return false;
    for (size_t k = i; k < field.size(); k++)
        if (field[k] < '0' || field[k] > '9') return false;
    *too_large = field.size() - i > 9;
    *value = *too_large ? 0 : std::stol(field.substr(i));
    if (field[0] == '-') *value = -*value;
    return true;
}

} // namespace

bool read_fold_file(const std::string& path, int n_subjects, std::vector<int>& folds,
                    int& n_repeats, int& n_folds, std::string& message) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail(message, path + ": cannot open the fold file: " + std::strerror(errno));
    std::ostringstream whole;
    whole << in.rdbuf();
    if (in.bad()) return fail(message, path + ": cannot read the fold file");
    std::vector<std::string> lines;
    std::istringstream text(whole.str());
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    while (!lines.empty() && fields_of(lines.back()).empty()) lines.pop_back();

    std::vector<std::vector<int>> rows;
    n_repeats = 0;
    for (size_t k = 0; k < lines.size(); k++) {
        const long line = static_cast<long>(k) + 1;
        if (line > n_subjects) {
            return fail(message, place(path, line) + "more lines than the " +
                                     std::to_string(n_subjects) + " subjects of the data");
        }
        const std::vector<std::string> fields = fields_of(lines[k]);
        if (line == 1) {
            if (fields.empty()) return fail(message, place(path, 1) + "no fold number");
            n_repeats = static_cast<int>(fields.size());
        } else if (static_cast<int>(fields.size()) != n_repeats) {
            return fail(message, place(path, line) + std::to_string(fields.size()) +
                                     (fields.size() == 1 ? " fold number" : " fold numbers") +
                                     ", but line 1 has " + std::to_string(n_repeats));
        }
        std::vector<int> row;
        for (size_t c = 0; c < fields.size(); c++) {
            const int column = static_cast<int>(c) + 1;
            long value = 0;
            bool too_large = false;
            if (!whole_number(fields[c], &value, &too_large)) {
                return fail(message, place(path, line, column) + "\"" + fields[c] +
                                         "\" is not a whole number");
            }
            if (too_large || value > n_subjects) {
                return fail(message, place(path, line, column) + "fold " + fields[c] +
                                         " is above the number of subjects (" +
                                         std::to_string(n_subjects) + ")");
            }
            if (value < 1) {
                return fail(message, place(path, line, column) + "fold " + fields[c] +
                                         " is below 1 (folds are numbered from 1)");
            }
            row.push_back(static_cast<int>(value) - 1);
        }
        rows.push_back(row);
    }
    if (static_cast<int>(rows.size()) != n_subjects) {
        return fail(message, path + ": " + std::to_string(rows.size()) +
                                 " lines, but the data have " + std::to_string(n_subjects) +
                                 " subjects (one line per subject)");
    }

    folds.assign(static_cast<size_t>(n_repeats) * n_subjects, 0);
    for (int s = 0; s < n_subjects; s++)
        for (int r = 0; r < n_repeats; r++)
            folds[static_cast<size_t>(r) * n_subjects + s] = rows[s][r];
    return check_fold_table(path, folds, n_subjects, n_repeats, n_folds, message);
}

bool check_fold_table(const std::string& source, const std::vector<int>& folds, int n_subjects,
                      int n_repeats, int& n_folds, std::string& message) {
    n_folds = 0;
    for (int r = 0; r < n_repeats; r++) {
        const std::string where = source + ": column " + std::to_string(r + 1) + ": ";
        const int* row = folds.data() + static_cast<size_t>(r) * n_subjects;
        int k = 0;
        for (int s = 0; s < n_subjects; s++)
            if (row[s] + 1 > k) k = row[s] + 1;
        std::vector<int> count(static_cast<size_t>(k), 0);
        for (int s = 0; s < n_subjects; s++) count[row[s]]++;
        for (int f = 0; f < k; f++) {
            if (count[f] == 0) {
                return fail(message, where + "fold " + std::to_string(f + 1) +
                                         " holds no subject (folds must be numbered 1 to " +
                                         std::to_string(k) + " without gaps)");
            }
        }
        if (k < 2)
            return fail(message, where + "every subject is in fold 1; at least 2 folds are needed");
        if (r == 0) {
            n_folds = k;
        } else if (k != n_folds) {
            return fail(message, where + "folds 1 to " + std::to_string(k) +
                                     ", but column 1 has 1 to " + std::to_string(n_folds) +
                                     "; every repetition needs the same number of folds");
        }
    }
    return true;
}
