// Node statistics: layout, additivity, the range check and the covariance matrix.
#include <gtest/gtest.h>

#include <random>

#include "model/node_stats.h"
#include "model_cases.h"
#include "numeric/arrays.h"
#include "numeric/run_counts.h"

namespace {

TEST(NodeStats, OneOutcomeHasNoPairs) {
    set_outcome_counts(1);
    EXPECT_EQ(stat_len, 5);
    std::vector<int> stats = stats_of({{1}, {0}, {1}, {1}}, 1);
    EXPECT_EQ(stats, (std::vector<int>{3, 3, 0, 0, 0}));
}

TEST(NodeStats, AllPositiveCaseAddsItsPairCountEverywhere) {
    set_outcome_counts(3);
    std::vector<int> stats = stats_of({{1, 1, 1}}, 3);
    // S, six cross products, T = 3, three t*y_j = 3, t^2 = 9.
    EXPECT_EQ(stats, (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 1, 1, 3, 3, 3, 3, 9}));
    stats = stats_of({{1, 0, 1}, {0, 1, 1}, {1, 1, 0}, {0, 0, 0}, {1, 1, 1}}, 3);
    EXPECT_EQ(stats, (std::vector<int>{3, 3, 3, 3, 2, 2, 3, 2, 3, 6, 5, 5, 5, 12}));
}

TEST(NodeStats, SummariesOfAdjacentRangesAdd) {
    const int q = 4;
    set_outcome_counts(q);
    std::mt19937 gen(7);
    auto cases = random_cases(gen, q, 50, {0.3, 0.5, 0.6, 0.8}, 0.6);
    int** y = outcome_columns(cases, q);
    std::vector<int> whole(stat_len), left(stat_len), right(stat_len), acc(stat_len, 0);
    find_covmat(y, 0, 50, whole.data());
    find_covmat(y, 0, 17, left.data());
    find_covmat(y, 17, 50, right.data());
    for (int k = 0; k < stat_len; k++) EXPECT_EQ(left[k] + right[k], whole[k]) << k;
    // Run by run into a running summary, as split search does.
    add_node_stats(acc.data(), y, 0, 5);
    add_node_stats(acc.data(), y, 5, 6);
    add_node_stats(acc.data(), y, 6, 50);
    EXPECT_EQ(acc, whole);
    // One case at a time, pair total completed at the end.
    std::vector<int> byCase(stat_len, 0);
    for (int i = 0; i < 50; i++) accumulate_case(byCase.data(), y, i);
    complete_pair_total(byCase.data());
    EXPECT_EQ(byCase, whole);
    // An empty range with a positive end is all zeros.
    find_covmat(y, 30, 30, left.data());
    for (int k = 0; k < stat_len; k++) EXPECT_EQ(left[k], 0);
    release_matrix(y, q + 1);
}

TEST(NodeStatsDeathTest, RangeEndingAtZeroIsFatal) {
    set_outcome_counts(2);
    int** y = outcome_columns({{1, 0}}, 2);
    std::vector<int> stats(stat_len);
    EXPECT_EXIT(find_covmat(y, 0, 0, stats.data()), testing::ExitedWithCode(1),
                "error in find_covmat\\(\\)\n\n\\.\\.\\.now exiting");
    // A negative range is refused before any column is read.
    EXPECT_EXIT(find_covmat(y, -5, -1, stats.data()), testing::ExitedWithCode(1),
                "error in find_covmat");
    release_matrix(y, 3);
}

TEST(NodeCovariance, MatchesSampleCovarianceOfOutcomesAndPairCount) {
    const int q = 3;
    set_outcome_counts(q);
    std::mt19937 gen(11);
    auto cases = random_cases(gen, q, 80, {0.4, 0.5, 0.7}, 0.8);
    std::vector<int> stats = stats_of(cases, q);
    real** cov = matrix(q + 2, q + 2);
    node_covariance(stats.data(), cov, 80);
    std::vector<std::vector<double>> col(q + 1, std::vector<double>(80));
    for (int i = 0; i < 80; i++) {
        int s = 0;
        for (int j = 0; j < q; j++) {
            col[j][i] = cases[i][j];
            s += cases[i][j];
        }
        col[q][i] = s * (s - 1) / 2;
    }
    for (int a = 0; a <= q; a++) {
        for (int b = 0; b <= q; b++) {
            double ma = 0, mb = 0, sab = 0;
            for (int i = 0; i < 80; i++) ma += col[a][i], mb += col[b][i];
            ma /= 80, mb /= 80;
            for (int i = 0; i < 80; i++) sab += (col[a][i] - ma) * (col[b][i] - mb);
            EXPECT_NEAR(cov[a + 1][b + 1], sab / 79, 1e-6) << a << " " << b;
            EXPECT_EQ(cov[a + 1][b + 1], cov[b + 1][a + 1]);
        }
    }
    // Each element is rounded before and after the division by n - 1.
    real first = static_cast<real>(stats[3] - static_cast<double>(stats[0]) * stats[0] / 80);
    EXPECT_EQ(cov[1][1], static_cast<real>(first / 79.0));
    release_matrix(cov, q + 2);
}

TEST(NodeCovariance, OneOutcomeAndSingleCase) {
    set_outcome_counts(1);
    real** cov = matrix(3, 3);
    std::vector<int> stats = stats_of({{1}, {0}, {1}, {1}, {0}}, 1);
    node_covariance(stats.data(), cov, 5);
    EXPECT_FLOAT_EQ(cov[1][1], 3.0f * 2.0f / (5.0f * 4.0f));
    EXPECT_EQ(cov[1][2], 0.0f);
    EXPECT_EQ(cov[2][1], 0.0f);
    EXPECT_EQ(cov[2][2], 0.0f);
    release_matrix(cov, 3);

    set_outcome_counts(3);
    cov = matrix(5, 5);
    stats = stats_of({{1, 1, 0}}, 3);
    node_covariance(stats.data(), cov, 1);
    for (int a = 1; a <= 4; a++)
        for (int b = 1; b <= 4; b++) EXPECT_EQ(cov[a][b], 0.0f);
    release_matrix(cov, 5);
}

TEST(NodeCovariance, LargePairTotalDoesNotOverflow) {
    // T * T exceeds the 32-bit range: 10 outcomes, 12000 all-positive cases.
    const int q = 10;
    set_outcome_counts(q);
    std::vector<std::vector<int>> cases(12000, std::vector<int>(q, 1));
    cases[0] = std::vector<int>(q, 0);
    std::vector<int> stats = stats_of(cases, q);
    real** cov = matrix(q + 2, q + 2);
    node_covariance(stats.data(), cov, 12000);
    // t is 45 in all cases but one (0): variance 45^2 * p(1-p) * n/(n-1), p = 1/12000.
    double p = 1.0 / 12000;
    EXPECT_NEAR(cov[q + 1][q + 1], 2025.0 * p * (1 - p) * 12000 / 11999, 1e-4);
    release_matrix(cov, q + 2);
}

TEST(NodeCovarianceDeathTest, NoCasesEndsSilently) {
    set_outcome_counts(2);
    real** cov = matrix(4, 4);
    std::vector<int> stats(stat_len, 0);
    EXPECT_EXIT(node_covariance(stats.data(), cov, 0), testing::ExitedWithCode(255), "^$");
    release_matrix(cov, 4);
}

} // namespace
