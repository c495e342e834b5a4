// read_data_file: from the missing-value dialogue and the data file (header,
// type row, records) builds col_type, cov_column, cov_levels, covariate_matrix
// and outcome_matrix with its pair-count row, prepares the covariates and prints
// the data summaries.
#include "data/read_data_file.h"

#include <climits>
#include <cstring>
#include <string>

#include "data/console_answers.h"
#include "data/formatted_input.h"
#include "data/prepare_covariates.h"
#include "numeric/arrays.h"
#include "numeric/console.h"
#include "numeric/fatal_error.h"
#include "numeric/printable_text.h"
#include "numeric/run_counts.h"

namespace {

// The node fit sums over all 2^q outcome patterns at every step, and its time
// doubles with each outcome: with 16 outcomes one sweep of the patterns takes
// about 2 ms, so even a fit that needs every Newton pass with repeated step
// halvings stays near a second; beyond that a single fit can take longer.
constexpr int max_outcomes = 16;

// Ends the run for a value of the data file that could not be read; `where`
// names the place ("header", "type row, column 3", "subject 2, column 5").
[[noreturn]] void file_error(const char* file_name, const std::string& where, read_status status,
                             const formatted_input& in, bool whole_number) {
    std::string what = describe_read_failure(status, in.token, whole_number, "end of file");
    if (status == read_end && in.read_errno != 0) {
        what = std::string("cannot read the file: ") + std::strerror(in.read_errno);
    }
    input_error("%s: %s: %s", file_name, where.c_str(), what.c_str());
}

int read_header_count(formatted_input& in, const char* file_name, const char* name) {
    int value = 0;
    read_status status = read_int(in, value);
    if (status != read_ok) file_error(file_name, std::string("header, ") + name, status, in, true);
    return value;
}

std::string record_place(int subject, int column) {
    return "subject " + std::to_string(subject + 1) + ", column " + std::to_string(column + 1);
}

} // namespace

int* read_data_file(std::FILE* data_file, const char* file_name) {
    int missing_flag = 0;
    real missing_code = 0;
    console_printf("Are there any missing data?\n");
    missing_flag = answer_int("Are there any missing data?");
    if (missing_flag != 0) {
        console_printf("Enter the missing value\n");
        missing_code = answer_real("Enter the missing value");
    }
    return load_data_file(data_file, file_name, missing_flag, missing_code);
}

void check_data_counts(const char* file_name, int subjects, int p, int q) {
    if (subjects < 1) {
        input_error("%s: header: %d subjects; there must be at least 1", file_name, subjects);
    }
    if (p < 0 || q < 0) {
        input_error("%s: header: negative column count (%d covariate columns, %d outcomes)",
                    file_name, p, q);
    }
    if (q == 0) {
        input_error("%s: header: 0 outcomes; there must be at least 1", file_name);
    }
    if (q > max_outcomes) {
        input_error("%s: header: %d outcomes; at most %d are allowed (a node fit sums over all "
                    "2^q outcome patterns)",
                    file_name, q, max_outcomes);
    }
    // The node statistics are 32-bit sums; the largest, the sum of squared pair
    // counts, reaches subjects x (q(q-1)/2)^2 when every outcome is positive.
    const long long most_pairs = static_cast<long long>(q) * (q - 1) / 2;
    if (static_cast<long long>(subjects) * most_pairs * most_pairs > INT_MAX) {
        input_error("%s: header: %d subjects with %d outcomes: the sum of squared pair counts "
                    "could exceed 32 bits (subjects x (q(q-1)/2)^2 must not exceed %d)",
                    file_name, subjects, q, INT_MAX);
    }
    // Every column and covariate index must stay an int.
    if (static_cast<long long>(q) + 2LL * p + 1 > INT_MAX) {
        input_error("%s: header: too many columns (%d covariate columns, %d outcomes)", file_name,
                    p, q);
    }
}

int* load_data_file(std::FILE* data_file, const char* file_name, int missing_flag,
                    real missing_code) {
    int* cov_column = read_data_records(data_file, file_name);
    prepare_data(missing_flag, missing_code, cov_column);
    return cov_column;
}

int* read_data_records(std::FILE* data_file, const char* file_name, int* n_columns) {
    formatted_input in;
    open_formatted_input(in, data_file, false);

    const int subjects = read_header_count(in, file_name, "number of subjects");
    const int p = read_header_count(in, file_name, "number of covariate columns");
    const int q = read_header_count(in, file_name, "number of outcomes");
    console_printf("%d %d %d\n", subjects, p, q);
    check_data_counts(file_name, subjects, p, q);
    n_subjects = subjects;
    set_outcome_counts(q);

    const int columns = p + q;
    col_type = ivector(columns + 1);
    cov_levels = ivector(q + 2 * p + 1);
    int* cov_column = ivector(q + 2 * p + 1);

    int d = 0;
    int negative_codes = 0;
    for (int k = 0; k < columns; k++) {
        read_status status = read_int(in, col_type[k]);
        if (status != read_ok) {
            file_error(file_name, "type row, column " + std::to_string(k + 1), status, in, true);
        }
        if (col_type[k] > 0) cov_column[d++] = k;
        if (col_type[k] < 0) negative_codes++;
    }
    if (negative_codes != q) {
        input_error("%s: type row: %d negative (outcome) codes, but the header announces %d "
                    "outcomes",
                    file_name, negative_codes, q);
    }
    if (d == 0) {
        input_error("%s: type row: no covariate column (no positive code)", file_name);
    }

    outcome_matrix = imatrix(q + 1, subjects);
    covariate_matrix = matrix(2L * d, subjects);

    for (int j = 0; j < subjects; j++) {
        int c = 0;
        int o = 0;
        for (int k = 0; k < columns; k++) {
            const int type = col_type[k];
            if (type < 0) {
                int value = 0;
                read_status status = read_int(in, value);
                if (status != read_ok) {
                    std::string where = record_place(j, k) + " (outcome)";
                    file_error(file_name, where, status, in, true);
                }
                if (value != 0 && value != 1) {
                    input_error("%s: %s (outcome): %d is not 0 or 1", file_name,
                                record_place(j, k).c_str(), value);
                }
                outcome_matrix[o++][j] = value;
            } else {
                real value = 0;
                read_status status = read_real(in, value);
                if (status != read_ok) file_error(file_name, record_place(j, k), status, in, false);
                if (type > 0) covariate_matrix[c++][j] = value;
            }
        }
    }
    // A header that undercounts the subjects would silently drop the rest of
    // the data: anything after the last announced record is refused.
    if (next_token(in)) {
        const long line = token_line(in);
        const std::string where = line > 0 ? "line " + std::to_string(line) : "after the records";
        input_error("%s: %s: found \"%s\" after the last of the %d records the header announces "
                    "(the header's subject count must match the records)",
                    file_name, where.c_str(), printable_text(in.token).c_str(), subjects);
    }
    console_printf("data in\n");
    n_covariates = d;
    if (n_columns != nullptr) *n_columns = columns;
    return cov_column;
}

void prepare_data(int missing_flag, real missing_code, int* cov_column) {
    const int subjects = n_subjects;
    const int q = n_outcomes;
    const int d = n_covariates;
    int* pair_counts = outcome_matrix[q];
    for (int j = 0; j < subjects; j++) {
        int s = 0;
        for (int o = 0; o < q; o++) s += outcome_matrix[o][j];
        pair_counts[j] = s * (s - 1) / 2;
    }

    prepare_covariates(missing_flag, missing_code, cov_column);

    console_printf("%d covariates %d outcomes\n", n_covariates, q);
    console_printf("outcome: ");
    for (int o = 0; o < q; o++) {
        int sum = 0;
        for (int j = 0; j < subjects; j++) sum += outcome_matrix[o][j];
        console_printf("%d ", sum);
    }
    console_printf("\n");
    for (int k = 0; k < n_covariates; k++) {
        if (cov_column[k] != k) console_printf("(%d->%d)", k, cov_column[k]);
    }
    console_printf("\n");

    // Rows kept as room for copies that were not needed.
    for (int r = n_covariates; r < 2 * d; r++) {
        release_vector(covariate_matrix[r]);
        covariate_matrix[r] = nullptr;
    }
}
