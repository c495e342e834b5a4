// prepare_covariates: from the covariate rows, col_type and cov_column, fills
// cov_levels, recodes missing values, appends a missingness copy for every
// ordered covariate with missing values, and prints the per-covariate lines.
#include "data/prepare_covariates.h"

#include <cmath>
#include <cstdio>

#include "numeric/arrays.h"
#include "numeric/console.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"

namespace {

// Above this many categories a nominal covariate's subset search and its split
// encoding (a category bit set held in a real) are no longer workable.
constexpr int max_nominal_levels = 25;

// Counts the values whose truncation is each level 0..levels-1 and prints the
// "count(level) " pairs and the line end. Values truncating outside the levels
// are not counted.
void print_tally(const real* row, int n, int levels) {
    if (levels > 0) {
        int* count = ivector(levels);
        for (int l = 0; l < levels; l++) count[l] = 0;
        for (int s = 0; s < n; s++) {
            double level = std::trunc(static_cast<double>(row[s]));
            if (level >= 0 && level < levels) count[static_cast<int>(level)]++;
        }
        for (int l = 0; l < levels; l++) console_printf("%d(%d) ", count[l], l);
        release_vector(count);
    }
    console_printf("\n");
}

// An ordinal tally prints one pair per level, whether observed or not, and
// counts them in a vector of that length: beyond a million levels (a value of
// 2e9 would print some 20 GB) the run would not end in any useful time.
constexpr int max_ordinal_levels = 1000000;

// trunc(largest) + has_missing + 1, the number of levels 0..L-1 of a tally (0
// when that is not positive); refused above max_ordinal_levels.
int level_count(real largest, int has_missing, int number, int column) {
    double levels = std::trunc(static_cast<double>(largest)) + has_missing + 1;
    if (levels < 0) return 0;
    if (levels > max_ordinal_levels) {
        input_error("ordinal covariate %d (data column %d): largest value %g is too large to "
                    "tally its levels",
                    number, column + 1, static_cast<double>(largest));
    }
    return static_cast<int>(levels);
}

// Makes covariate_matrix row copy the missingness copy of row k: observed
// values are shared; a missing case gets smallest - 1 in row k and largest + 1
// in the copy, so that it sorts below, respectively above, every observed value.
void append_copy(int k, int copy, real smallest, real largest, real missing_code, int* cov_column) {
    real* source = covariate_matrix[k];
    real* target = covariate_matrix[copy];
    real below = static_cast<real>(static_cast<double>(smallest) - 1.0);
    real above = static_cast<real>(static_cast<double>(largest) + 1.0);
    for (int s = 0; s < n_subjects; s++) {
        if (source[s] != missing_code) {
            target[s] = source[s];
        } else {
            source[s] = below;
            target[s] = above;
        }
    }
    cov_column[copy] = cov_column[k];
    cov_levels[copy] = 1;
}

} // namespace

bool scan_covariate(const real* row, int n, real& smallest, real& largest, real missing_code,
                    int& has_missing, int missing_flag) {
    if (missing_flag == 0) {
        has_missing = 0;
        if (n < 1) return false;
        smallest = largest = row[0];
        for (int i = 1; i < n; i++) {
            if (row[i] > largest) largest = row[i];
            if (row[i] < smallest) smallest = row[i];
        }
        return true;
    }
    int first = 0;
    while (first < n && row[first] == missing_code) first++;
    has_missing = first >= 1 ? 1 : 0;
    if (first == n) return false;
    smallest = largest = row[first];
    for (int i = first + 1; i < n; i++) {
        real v = row[i];
        if (v == missing_code) {
            has_missing = 1;
        } else {
            if (v > largest) largest = v;
            if (v < smallest) smallest = v;
        }
    }
    return true;
}

void prepare_covariates(int missing_flag, real missing_code, int* cov_column) {
    const int d = n_covariates;
    int copies = 0;
    for (int k = 0; k < d; k++) {
        const int number = k + 1;
        const int column = cov_column[k];
        const int type = col_type[column];
        const char* kind = type == 3 ? "nominal" : type == 2 ? "ordinal" : "continuous";
        console_printf("%s %d: ", kind, number);

        real smallest = 0, largest = 0;
        int has_missing = 0;
        if (!scan_covariate(covariate_matrix[k], n_subjects, smallest, largest, missing_code,
                            has_missing, missing_flag)) {
            // Nothing observed: a constant that can never split, values untouched.
            cov_levels[k] = 1;
            console_printf("no observed value\n");
            continue;
        }

        if (type == 3) {
            if (smallest < 0) fatal_error("negative numbers are used for nominal variable");
            double categories = std::trunc(static_cast<double>(largest)) + has_missing + 1;
            if (categories > max_nominal_levels) {
                input_error("nominal covariate %d (data column %d) has %.0f categories; at most "
                            "%d are allowed",
                            number, column + 1, categories, max_nominal_levels);
            }
            int levels = static_cast<int>(categories);
            cov_levels[k] = levels;
            if (has_missing) {
                real missing_level = static_cast<real>(levels - 1);
                real* row = covariate_matrix[k];
                for (int s = 0; s < n_subjects; s++) {
                    if (row[s] == missing_code) row[s] = missing_level;
                }
            }
            print_tally(covariate_matrix[k], n_subjects, levels);
        } else if (type == 2) {
            int levels = level_count(largest, has_missing, number, column);
            if (has_missing) {
                append_copy(k, d + copies, smallest, largest, missing_code, cov_column);
                copies++;
            }
            print_tally(covariate_matrix[k], n_subjects, levels);
            cov_levels[k] = 1;
        } else {
            cov_levels[k] = 1;
            console_printf("%f %f\n", static_cast<double>(smallest), static_cast<double>(largest));
            if (has_missing) {
                append_copy(k, d + copies, smallest, largest, missing_code, cov_column);
                copies++;
            }
        }
    }
    n_covariates = d + copies;
}
