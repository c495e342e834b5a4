// describe_raw_data, describe_categories: the user's view of the data the
// engine's arrays hold (kinds, missing counts, ranges, outcome counts and
// categories).
#include "fit/load_fit_data.h"
#include "numeric/run_counts.h"

namespace {

column_kind kind_of_code(int code) {
    if (code < 0) return column_outcome;
    if (code == 0) return column_ignored;
    if (code == 3) return column_nominal;
    if (code == 2) return column_ordinal;
    return column_continuous;
}

} // namespace

void describe_raw_data(int n_columns, int missing_flag, float missing_code,
                       data_description& description) {
    description.subjects = n_subjects;
    const int total = n_columns;
    description.columns.resize(static_cast<size_t>(total));
    int c = 0;
    int o = 0;
    for (int k = 0; k < total; k++) {
        column_description& col = description.columns[static_cast<size_t>(k)];
        col.kind = kind_of_code(col_type[k]);
        if (col.kind == column_outcome) {
            int positives = 0;
            for (int s = 0; s < n_subjects; s++) positives += outcome_matrix[o][s];
            col.positives = positives;
            o++;
        } else if (col.kind != column_ignored) {
            const real* row = covariate_matrix[c];
            for (int s = 0; s < n_subjects; s++) {
                if (missing_flag != 0 && row[s] == missing_code) {
                    col.missing++;
                    continue;
                }
                const double v = row[s];
                if (!col.observed || v < col.smallest) col.smallest = v;
                if (!col.observed || v > col.largest) col.largest = v;
                col.observed = true;
            }
            c++;
        }
    }
}

void describe_categories(const int* cov_column, data_description& description) {
    // The covariates read from the file come first, in column order; their
    // missingness copies follow and name the same columns.
    for (int c = 0; c < n_covariates; c++) {
        column_description& col = description.columns[static_cast<size_t>(cov_column[c])];
        if (col.kind == column_nominal && col.categories == 0) col.categories = cov_levels[c];
    }
}
