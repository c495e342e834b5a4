// Loading data files: column kinds and ignored columns, the column map, pair
// counts, missing codes, line-break independence and released spare rows.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "data/read_data_file.h"
#include "numeric/run_counts.h"

namespace {

struct loaded {
    std::string out;
    std::vector<int> cov_column;
    std::vector<std::vector<real>> covariates;
    std::vector<std::vector<int>> outcomes; // q rows, then the pair counts
    std::vector<int> levels;
};

loaded load(const std::string& text, int missing_flag = 0, real missing_code = 0) {
    std::FILE* f = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    testing::internal::CaptureStdout();
    int* cov_column = load_data_file(f, "test.dat", missing_flag, missing_code);
    loaded r;
    r.out = testing::internal::GetCapturedStdout();
    std::fclose(f);
    for (int k = 0; k < n_covariates; k++) {
        r.cov_column.push_back(cov_column[k]);
        r.levels.push_back(cov_levels[k]);
        r.covariates.emplace_back(covariate_matrix[k], covariate_matrix[k] + n_subjects);
    }
    for (int o = 0; o <= n_outcomes; o++) {
        r.outcomes.emplace_back(outcome_matrix[o], outcome_matrix[o] + n_subjects);
    }
    return r;
}

// Columns: continuous, outcome, ordinal, ignored, outcome, nominal.
const char* mixed_file = "4 4 2\n"
                         "1 -1 2 0 -1 3\n"
                         "1.5 1 0 99 1 2\n"
                         "2.5 0 1 98 0 0\n"
                         "3.5 1 2 97 0 1\n"
                         "0.5 1 1 96 1 1\n";

} // namespace

TEST(ReadDataFile, ColumnKindsIgnoredColumnAndColumnMap) {
    loaded r = load(mixed_file);
    EXPECT_EQ(r.out, "4 4 2\n"
                     "data in\n"
                     "continuous 1: 0.500000 3.500000\n"
                     "ordinal 2: 1(0) 2(1) 1(2) \n"
                     "nominal 3: 1(0) 2(1) 1(2) \n"
                     "3 covariates 2 outcomes\n"
                     "outcome: 3 2 \n"
                     "(1->2)(2->5)\n");
    EXPECT_EQ(n_subjects, 4);
    EXPECT_EQ(n_covariates, 3);
    EXPECT_EQ(n_outcomes, 2);
    EXPECT_EQ(stat_len, 9);
    EXPECT_EQ(r.cov_column, (std::vector<int>{0, 2, 5}));
    EXPECT_EQ(r.levels, (std::vector<int>{1, 1, 3}));
    EXPECT_EQ(r.covariates[0], (std::vector<real>{1.5f, 2.5f, 3.5f, 0.5f}));
    EXPECT_EQ(r.covariates[1], (std::vector<real>{0, 1, 2, 1}));
    EXPECT_EQ(r.covariates[2], (std::vector<real>{2, 0, 1, 1}));
    EXPECT_EQ(r.outcomes[0], (std::vector<int>{1, 0, 1, 1}));
    EXPECT_EQ(r.outcomes[1], (std::vector<int>{1, 0, 0, 1}));
    EXPECT_EQ(r.outcomes[2], (std::vector<int>{1, 0, 0, 1}));
    EXPECT_EQ(col_type[3], 0);
    // The rows kept for copies that were not needed are released.
    for (int k = 3; k < 6; k++) EXPECT_EQ(covariate_matrix[k], nullptr);
}

TEST(ReadDataFile, LineBreaksCarryNoMeaning) {
    loaded reference = load(mixed_file);
    std::string one_line = mixed_file;
    for (char& c : one_line) {
        if (c == '\n') c = ' ';
    }
    std::string one_per_line = mixed_file;
    for (char& c : one_per_line) {
        if (c == ' ') c = '\n';
    }
    std::string ragged =
        "4\n4 2 1 -1\n2 0 -1 3 1.5\t1 0 99 1 2 2.5 0\n\n1 98 0 0 3.5 1 2\r\n97 0 1 "
        "0.5 1 1 96 1 1";
    for (const std::string& text : {one_line, one_per_line, ragged}) {
        loaded r = load(text);
        EXPECT_EQ(r.out, reference.out);
        EXPECT_EQ(r.covariates, reference.covariates);
        EXPECT_EQ(r.outcomes, reference.outcomes);
    }
}

TEST(ReadDataFile, PairCountsOfPositiveOutcomes) {
    loaded r = load("5 1 3\n-1 -1 1 -1\n"
                    "1 1 0 1\n"
                    "1 0 0 1\n"
                    "0 0 0 1\n"
                    "0 0 0 0\n"
                    "1 1 0 0\n");
    EXPECT_EQ(r.outcomes[3], (std::vector<int>{3, 1, 0, 0, 1}));
    EXPECT_EQ(r.cov_column, (std::vector<int>{2}));
    EXPECT_EQ(r.out, "5 1 3\ndata in\ncontinuous 1: 0.000000 0.000000\n"
                     "1 covariates 3 outcomes\noutcome: 3 2 3 \n(0->2)\n");
}

TEST(ReadDataFile, MissingCodeByExactEqualityOnlyWhenAsked) {
    const char* text = "4 1 1\n1 -1\n4 0\n-9 1\n2 0\n-9.000001 1\n";
    loaded plain = load(text);
    EXPECT_EQ(plain.out, "4 1 1\ndata in\ncontinuous 1: -9.000001 4.000000\n"
                         "1 covariates 1 outcomes\noutcome: 2 \n\n");

    loaded coded = load(text, 1, -9.0f);
    EXPECT_EQ(coded.out, "4 1 1\ndata in\ncontinuous 1: -9.000001 4.000000\n"
                         "2 covariates 1 outcomes\noutcome: 2 \n(1->0)\n");
    EXPECT_EQ(coded.cov_column, (std::vector<int>{0, 0}));
    EXPECT_EQ(coded.covariates[0][1], static_cast<real>(-9.000001f - 1.0));
    EXPECT_EQ(coded.covariates[1][1], 5.0f);
    EXPECT_EQ(coded.covariates[1][3], -9.000001f);
}

TEST(ReadDataFile, EmptyMapLineWhenCovariatesComeFirst) {
    loaded r = load("2 2 1\n1 3 -1\n0.25 1 1\n0.75 0 0\n");
    EXPECT_EQ(r.out, "2 2 1\ndata in\ncontinuous 1: 0.250000 0.750000\nnominal 2: 1(0) 1(1) \n"
                     "2 covariates 1 outcomes\noutcome: 1 \n\n");
}
