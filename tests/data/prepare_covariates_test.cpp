// Covariate preparation: ranges, level codes, recoded missing values, copies,
// tallies, covariates without observed values, and the refused covariates.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "data/prepare_covariates.h"
#include "numeric/arrays.h"
#include "numeric/run_counts.h"

namespace {

constexpr real M = -9; // the missing code of these tests

struct prepared {
    std::string out;
    std::vector<std::vector<real>> rows;
    std::vector<int> cov_column;
    std::vector<int> levels;
};

// Sets up one covariate per entry of `columns` (type code, values), covariate k
// coming from data column k, and prepares them.
void set_up(const std::vector<std::pair<int, std::vector<real>>>& columns, int*& cov_column) {
    const int d = static_cast<int>(columns.size());
    n_subjects = static_cast<int>(columns[0].second.size());
    n_covariates = d;
    col_type = ivector(d + 1);
    cov_levels = ivector(2 * d + 1);
    cov_column = ivector(2 * d + 1);
    covariate_matrix = matrix(2 * d, n_subjects);
    for (int k = 0; k < d; k++) {
        col_type[k] = columns[k].first;
        cov_column[k] = k;
        for (int s = 0; s < n_subjects; s++) covariate_matrix[k][s] = columns[k].second[s];
    }
}

prepared prepare(const std::vector<std::pair<int, std::vector<real>>>& columns,
                 int missing_flag = 1) {
    int* cov_column = nullptr;
    set_up(columns, cov_column);
    testing::internal::CaptureStdout();
    prepare_covariates(missing_flag, M, cov_column);
    prepared r;
    r.out = testing::internal::GetCapturedStdout();
    for (int k = 0; k < n_covariates; k++) {
        r.rows.emplace_back(covariate_matrix[k], covariate_matrix[k] + n_subjects);
        r.cov_column.push_back(cov_column[k]);
        r.levels.push_back(cov_levels[k]);
    }
    return r;
}

} // namespace

TEST(ScanCovariate, MissingValuesNeverEnterTheRange) {
    real row[] = {M, M, 3, -20, M, 8, 2};
    real lo = 0, hi = 0;
    int h = -1;
    ASSERT_TRUE(scan_covariate(row, 7, lo, hi, M, h, 1));
    EXPECT_EQ(lo, -20);
    EXPECT_EQ(hi, 8);
    EXPECT_EQ(h, 1);
    // Only trailing missing values still set the flag.
    real tail[] = {5, 4, M};
    ASSERT_TRUE(scan_covariate(tail, 3, lo, hi, M, h, 1));
    EXPECT_EQ(h, 1);
    EXPECT_EQ(lo, 4);
    // Without the flag the code is an ordinary value.
    ASSERT_TRUE(scan_covariate(row, 7, lo, hi, M, h, 0));
    EXPECT_EQ(lo, -20);
    EXPECT_EQ(h, 0);
    // Nothing observed.
    real none[] = {M, M};
    EXPECT_FALSE(scan_covariate(none, 2, lo, hi, M, h, 1));
    EXPECT_EQ(h, 1);
}

TEST(PrepareCovariates, ContinuousMissingGoBelowAndAboveInTheCopy) {
    prepared r = prepare({{1, {2.5f, M, 7, 4}}});
    EXPECT_EQ(r.out, "continuous 1: 2.500000 7.000000\n");
    ASSERT_EQ(n_covariates, 2);
    EXPECT_EQ(r.rows[0], (std::vector<real>{2.5f, 1.5f, 7, 4}));
    EXPECT_EQ(r.rows[1], (std::vector<real>{2.5f, 8, 7, 4}));
    EXPECT_EQ(r.levels, (std::vector<int>{1, 1}));
    EXPECT_EQ(r.cov_column, (std::vector<int>{0, 0}));
}

TEST(PrepareCovariates, CopiesFollowTheFileCovariatesInOrder) {
    // Two continuous covariates, the second with missing values, and a nominal
    // one with missing values: one copy, of the second, as covariate 3.
    prepared r = prepare({{1, {1, 2, 3}}, {5, {M, 0.5f, 0.25f}}, {3, {0, M, 1}}});
    ASSERT_EQ(n_covariates, 4);
    EXPECT_EQ(r.cov_column, (std::vector<int>{0, 1, 2, 1}));
    EXPECT_EQ(r.levels, (std::vector<int>{1, 1, 3, 1}));
    EXPECT_EQ(r.rows[1], (std::vector<real>{-0.75f, 0.5f, 0.25f}));
    EXPECT_EQ(r.rows[3], (std::vector<real>{1.5f, 0.5f, 0.25f}));
    EXPECT_EQ(r.rows[2], (std::vector<real>{0, 2, 1}));
    EXPECT_EQ(r.out, "continuous 1: 1.000000 3.000000\n"
                     "continuous 2: 0.250000 0.500000\n"
                     "nominal 3: 1(0) 1(1) 1(2) \n");
}

TEST(PrepareCovariates, NominalLevelsAndTheMissingCategory) {
    prepared r = prepare({{3, {0, 2, M, 1, 2, M}}});
    EXPECT_EQ(r.levels, (std::vector<int>{4}));
    EXPECT_EQ(r.rows[0], (std::vector<real>{0, 2, 3, 1, 2, 3}));
    EXPECT_EQ(r.out, "nominal 1: 1(0) 1(1) 2(2) 2(3) \n");
    EXPECT_EQ(n_covariates, 1);

    // Zeros only: one category, so treated as ordered; with missing values a
    // second category for them.
    EXPECT_EQ(prepare({{3, {0, 0}}}).levels, (std::vector<int>{1}));
    EXPECT_EQ(prepare({{3, {0, M}}}).levels, (std::vector<int>{2}));
    // Fractions are cut off for the categories but the values stay as they are.
    prepared f = prepare({{3, {0.5f, 1.75f}}}, 0);
    EXPECT_EQ(f.out, "nominal 1: 1(0) 1(1) \n");
    EXPECT_EQ(f.rows[0], (std::vector<real>{0.5f, 1.75f}));
}

TEST(PrepareCovariates, OrdinalTallyAfterRecodingLeavesOutOfRangeValues) {
    // Observed 1..3 with missing values: recoded to 0 and counted at level 0;
    // the extra level 4 stays empty.
    prepared r = prepare({{2, {1, M, 3, 3, 2}}});
    EXPECT_EQ(r.out, "ordinal 1: 1(0) 1(1) 1(2) 2(3) 0(4) \n");
    EXPECT_EQ(r.levels, (std::vector<int>{1, 1}));
    EXPECT_EQ(r.rows[0], (std::vector<real>{1, 0, 3, 3, 2}));
    EXPECT_EQ(r.rows[1], (std::vector<real>{1, 4, 3, 3, 2}));

    // Smallest observed 0: missing values become -1 and are not tallied.
    prepared z = prepare({{2, {0, M, 1}}});
    EXPECT_EQ(z.out, "ordinal 1: 1(0) 1(1) 0(2) \n");
    EXPECT_EQ(z.rows[0], (std::vector<real>{0, -1, 1}));

    // Observed values of -1 or less are not tallied, while -0.5 truncates to 0.
    prepared n = prepare({{2, {0, M, -3, -0.5f, 1}}});
    EXPECT_EQ(n.out, "ordinal 1: 2(0) 1(1) 0(2) \n");
    EXPECT_EQ(n.rows[0], (std::vector<real>{0, -4, -3, -0.5f, 1}));

    // No level at all: only the line end.
    EXPECT_EQ(prepare({{2, {-3, -2.5f}}}).out, "ordinal 1: \n");
}

TEST(PrepareCovariates, CovariateWithoutObservedValueStaysAConstant) {
    prepared r = prepare({{1, {M, M}}, {2, {M, M}}, {3, {M, M}}, {1, {1, M}}});
    EXPECT_EQ(r.out, "continuous 1: no observed value\n"
                     "ordinal 2: no observed value\n"
                     "nominal 3: no observed value\n"
                     "continuous 4: 1.000000 1.000000\n");
    ASSERT_EQ(n_covariates, 5);
    EXPECT_EQ(r.levels, (std::vector<int>{1, 1, 1, 1, 1}));
    EXPECT_EQ(r.cov_column, (std::vector<int>{0, 1, 2, 3, 3}));
    for (int k = 0; k < 3; k++) EXPECT_EQ(r.rows[k], (std::vector<real>{M, M}));
}

TEST(PrepareCovariates, NominalCategoryLimit) {
    std::vector<real> values;
    for (int v = 0; v < 25; v++) values.push_back(static_cast<real>(v));
    EXPECT_EQ(prepare({{3, values}}).levels, (std::vector<int>{25}));

    values.push_back(M); // the missing category would be the 26th
    int* cov_column = nullptr;
    set_up({{3, values}}, cov_column);
    EXPECT_EXIT(prepare_covariates(1, M, cov_column), testing::ExitedWithCode(1),
                "^error: nominal covariate 1 \\(data column 1\\) has 26 categories; at most 25 "
                "are allowed\n$");
    set_up({{3, {0, 1e30f}}}, cov_column);
    EXPECT_EXIT(prepare_covariates(0, M, cov_column), testing::ExitedWithCode(1),
                "^error: nominal covariate 1 \\(data column 1\\) has [0-9]+ categories");
}

TEST(PrepareCovariates, OrdinalTallyOfAtMostAMillionLevels) {
    // A million levels are tallied, one pair each.
    prepared r = prepare({{2, {0, 999999}}}, 0);
    EXPECT_EQ(r.out.compare(0, 21, "ordinal 1: 1(0) 0(1) "), 0);
    EXPECT_EQ(r.out.substr(r.out.size() - 12), " 1(999999) \n");

    // Beyond that the tally would take too long: 777777770 once printed and
    // counted 777777771 levels.
    int* cov_column = nullptr;
    for (real largest : {1e6f, 777777770.0f, 3e9f}) {
        set_up({{2, {0, largest}}}, cov_column);
        EXPECT_EXIT(prepare_covariates(0, M, cov_column), testing::ExitedWithCode(1),
                    "^error: ordinal covariate 1 \\(data column 1\\): largest value [0-9.e+]+ "
                    "is too large to tally its levels\n$");
    }
    // The missing level counts: 999999 with a missing value is 1000001 levels.
    set_up({{2, {0, 999999, M}}}, cov_column);
    EXPECT_EXIT(prepare_covariates(1, M, cov_column), testing::ExitedWithCode(1),
                "too large to tally its levels\n$");
}

TEST(PrepareCovariates, NegativeNominalValueIsFatal) {
    int* cov_column = nullptr;
    set_up({{1, {1, 2}}, {3, {0, -1}}}, cov_column);
    EXPECT_EXIT(prepare_covariates(0, M, cov_column), testing::ExitedWithCode(1),
                "^Numerical Recipes run-time error ...\nnegative numbers are used for nominal "
                "variable\n...now exiting to system...\n$");
}
