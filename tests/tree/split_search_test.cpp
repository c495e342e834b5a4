// Split search: run boundaries, the Gray-code walk of category divisions, the
// 61-case limits on both daughters, ties of covariate values and of candidate
// values, and the category masks.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <vector>

#include "model/node_fit.h"
#include "model/node_stats.h"
#include "numeric/run_counts.h"
#include "tree/grow_state.h"
#include "tree_data.h"

namespace {

TEST(TieGroups, RunsOfEqualValues) {
    std::vector<real> p = {1, 1, 2, 3, 3, 3, 7};
    std::vector<int> b(p.size() + 1);
    int groups = tie_groups(p.data(), static_cast<int>(p.size()), b.data());
    ASSERT_EQ(groups, 4);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(b[1], 2);
    EXPECT_EQ(b[2], 3);
    EXPECT_EQ(b[3], 6);
    EXPECT_EQ(b[4], 7);

    std::vector<real> same = {5, 5, 5};
    EXPECT_EQ(tie_groups(same.data(), 3, b.data()), 1);
    EXPECT_EQ(b[1], 3);
    // -0 and 0 compare equal, so they share a run.
    std::vector<real> zeros = {-0.0f, 0.0f, 1.0f};
    EXPECT_EQ(tie_groups(zeros.data(), 3, b.data()), 2);
    EXPECT_EQ(b[1], 2);
}

// Left groups visited by the nominal walk with every category present.
std::vector<std::set<int>> gray_walk(int k) {
    std::vector<std::set<int>> visited;
    std::set<int> left;
    for (unsigned s = 1; s < (1u << (k - 1)); s++) {
        int joins = 0;
        int j = gray_step_category(s, &joins);
        if (joins != 0) {
            EXPECT_EQ(left.count(j), 0u);
            left.insert(j);
        } else {
            EXPECT_EQ(left.count(j), 1u);
            left.erase(j);
        }
        visited.push_back(left);
    }
    return visited;
}

TEST(GrayWalk, VisitsSubsetsInReflectedGrayOrder) {
    EXPECT_EQ(gray_walk(2), (std::vector<std::set<int>>{{0}}));
    EXPECT_EQ(gray_walk(3), (std::vector<std::set<int>>{{0}, {0, 1}, {1}}));
    EXPECT_EQ(gray_walk(4),
              (std::vector<std::set<int>>{{0}, {0, 1}, {1}, {1, 2}, {0, 1, 2}, {0, 2}, {2}}));
    // k = 6: every non-empty subset of 0..4 once, category 5 never moved.
    std::vector<std::set<int>> six = gray_walk(6);
    std::set<std::set<int>> distinct(six.begin(), six.end());
    EXPECT_EQ(six.size(), 31u);
    EXPECT_EQ(distinct.size(), 31u);
    for (const auto& group : six) EXPECT_EQ(group.count(5), 0u);
}

// One ordered covariate x = 0, 1, ..., n-1 and q = 1 with outcome 1 on the
// first `ones` cases.
void ordered_step(tree_data& d, int ones) {
    for (int i = 0; i < d.n; i++) {
        d.x[0][i] = static_cast<real>(i);
        d.set_y(i, 0, i < ones ? 1 : 0);
    }
}

TEST(OrderedSearch, BothDaughtersNeedSixtyOneCases) {
    // 121 cases: no cut leaves 61 on both sides.
    tree_data small(121, 1, {1});
    ordered_step(small, 61);
    small.grow();
    EXPECT_EQ(small.n_nodes, 1);

    // 122 cases split only 61 against 61, even when the outcome changes at 30.
    tree_data even(122, 1, {1});
    ordered_step(even, 30);
    even.grow();
    ASSERT_EQ(even.n_nodes, 3);
    EXPECT_EQ(even.nodes.node_cases[1], 61);
    EXPECT_EQ(even.nodes.node_cases[2], 61);
    EXPECT_EQ(even.nodes.split_value[0], 60.0f);
    EXPECT_EQ(even.nodes.split_covariate[0], 0);
}

TEST(OrderedSearch, ACandidateWhoseDaughterCannotBeFittedIsNotEligible) {
    // Covariate 0 puts on the left four copies of 24 cases with nested
    // outcome columns plus one more case: 97 cases whose covariance matrix
    // the decomposition cannot diagonalise in 30 sweeps. Were that daughter
    // worth 0, a perfect fit, this cut would win; it is not eligible, so
    // covariate 1's cut wins, and nothing is printed about the failed fit.
    const int nested[24] = {63, 63, 63, 31, 31, 31, 31, 62, 62, 30, 2, 2,
                            4,  4,  8,  8,  0,  0,  0,  0,  0,  0,  0, 0};
    tree_data d(194, 6, {1, 1});
    std::mt19937 gen(4);
    for (int i = 0; i < d.n; i++) {
        const int pattern = i < 96 ? nested[i % 24] : i == 96 ? 47 : static_cast<int>(gen() % 64);
        for (int j = 0; j < 6; j++) d.set_y(i, j, (pattern >> j) & 1);
        d.x[0][i] = i < 97 ? 0.0f : 1.0f;
        d.x[1][i] = static_cast<real>(i % 2);
    }
    testing::internal::CaptureStdout();
    d.grow();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "growing ...\n");
    ASSERT_EQ(d.n_nodes, 3);
    EXPECT_EQ(d.nodes.split_covariate[0], 1);
    // The failed daughter as a perfect fit would have beaten the winner.
    std::vector<int> right(stat_len);
    find_covmat(d.y_rows.data(), 97, 194, right.data());
    std::vector<real> params(7), means(7);
    real normaliser;
    const double right_value =
        node_log_likelihood(right.data(), 97, params.data(), means.data(), &normaliser, d.fit);
    EXPECT_GT(right_value, -(d.nodes.node_value[1] + d.nodes.node_value[2]));
    std::vector<int> left(stat_len);
    find_covmat(d.y_rows.data(), 0, 97, left.data());
    testing::internal::CaptureStdout();
    node_log_likelihood(left.data(), 97, params.data(), means.data(), &normaliser, d.fit);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "No convergence in 30 SVDCMP iterations\n");
}

TEST(OrderedSearch, TiedValuesAreNeverSeparated) {
    // The outcome changes in the middle of a run of 40 equal values (positions
    // 80 .. 119 hold 80); the cut goes to one end of the run, and every case of
    // the cut value goes left.
    tree_data d(240, 1, {1});
    for (int i = 0; i < d.n; i++) {
        d.x[0][i] = static_cast<real>(i >= 80 && i < 120 ? 80 : i);
        d.set_y(i, 0, i < 100 ? 1 : 0);
    }
    d.grow();
    ASSERT_GE(d.n_nodes, 3);
    real cut = d.nodes.split_value[0];
    EXPECT_TRUE(cut == 79.0f || cut == 80.0f) << cut;
    EXPECT_EQ(d.nodes.node_cases[1], cut == 79.0f ? 80 : 120);
}

TEST(OrderedSearch, SmallestCutWinsAmongEqualValues) {
    // Pure zeros in cases 0..63 and 128..191, a mixed block between: cutting
    // after 64 or after 128 gives mirror-image daughters of 64 and 128 cases,
    // so both values are exactly equal; the first (smaller) cut keeps it.
    tree_data d(192, 2, {1});
    for (int i = 0; i < d.n; i++) {
        d.x[0][i] = static_cast<real>(i);
        bool middle = i >= 64 && i < 128;
        // Every middle case is positive somewhere, so the pure blocks end
        // exactly at 64 and 128.
        d.set_y(i, 0, middle ? 1 : 0);
        d.set_y(i, 1, middle && i % 3 == 0 ? 1 : 0);
    }
    d.grow();
    ASSERT_GE(d.n_nodes, 3);
    EXPECT_EQ(d.nodes.split_value[0], 63.0f);
    EXPECT_EQ(d.nodes.node_cases[1], 64);
}

TEST(OrderedSearch, LowerCovariateWinsATie) {
    // Covariates 1 and 2 are identical; covariate 0 is noise-free but useless.
    tree_data d(200, 1, {1, 1, 1});
    for (int i = 0; i < d.n; i++) {
        d.x[0][i] = static_cast<real>(i % 2);
        d.x[1][i] = static_cast<real>(i);
        d.x[2][i] = static_cast<real>(i);
        d.set_y(i, 0, i < 100 ? 1 : 0);
    }
    d.grow();
    ASSERT_GE(d.n_nodes, 3);
    EXPECT_EQ(d.nodes.split_covariate[0], 1);
}

// One nominal covariate with the given categories per case block; outcomes by
// category.
void nominal_blocks(tree_data& d, const std::vector<int>& category, const std::vector<int>& y) {
    for (int i = 0; i < d.n; i++) {
        int j = category[static_cast<size_t>(i)];
        d.x[0][i] = static_cast<real>(j);
        d.set_y(i, 0, y[static_cast<size_t>(j)] != 0 ? (i % 5 != 0 ? 1 : 0) : (i % 7 == 0 ? 1 : 0));
    }
}

std::vector<int> blocks_of(const std::vector<int>& categories, int size) {
    std::vector<int> out;
    for (int j : categories) out.insert(out.end(), static_cast<size_t>(size), j);
    return out;
}

// Blocks of 70 cases per category present, mostly positive in the categories
// marked: the root's mask names the categories that go left, with the
// mostly-positive cases.
TEST(NominalSearch, MaskOfTheBestDivision) {
    struct division {
        const char* what;
        int k;
        std::vector<int> present, positive;
        real mask;
        int left_cases;
    };
    const division cases[] = {
        {"two categories", 2, {1, 0}, {1, 0}, 1.0f, 70},
        {"zero with two", 4, {0, 1, 2, 3}, {1, 0, 1, 0}, 5.0f, 140},
        // 3 always goes right, so 2 goes left alone; the walk passes absent
        // category 1 but its bit stays clear.
        {"absent category", 4, {0, 2, 3}, {0, 0, 1, 0}, 4.0f, 70},
    };
    for (const division& c : cases) {
        tree_data d(70 * static_cast<int>(c.present.size()), 1, {c.k});
        nominal_blocks(d, blocks_of(c.present, 70), c.positive);
        d.grow();
        ASSERT_GE(d.n_nodes, 3) << c.what;
        EXPECT_EQ(d.nodes.split_value[0], c.mask) << c.what;
        EXPECT_EQ(d.nodes.node_cases[1], c.left_cases) << c.what;
        EXPECT_GT(d.nodes.node_stats_table[1][0], d.nodes.node_stats_table[2][0]) << c.what;
    }
}

TEST(NominalSearch, EarlierDivisionWinsATie) {
    // Categories 0 and 1: 68 positive cases each; 2 and 3: 30 negative ones.
    // {0,1} together would leave 60 on the right, so {0} | {1,2,3} and
    // {1} | {0,2,3}, exactly equal (a pure side of value 0 and a side of 128
    // cases, whose value is exact as a real), are the best; {0} comes first.
    tree_data d(196, 1, {4});
    std::vector<int> cat = blocks_of({0, 1}, 68);
    cat.insert(cat.end(), 30, 2);
    cat.insert(cat.end(), 30, 3);
    for (int i = 0; i < d.n; i++) {
        int j = cat[static_cast<size_t>(i)];
        d.x[0][i] = static_cast<real>(j);
        d.set_y(i, 0, j < 2 ? 1 : 0);
    }
    d.grow();
    ASSERT_GE(d.n_nodes, 3);
    EXPECT_EQ(d.nodes.split_value[0], 1.0f);
    EXPECT_EQ(d.nodes.node_cases[1], 68);
}

TEST(NominalSearch, SmallCategoriesCombineToSixtyOne) {
    // Three categories of 40 cases and one of 82: only divisions with at least
    // 61 cases per side qualify, so no category of 40 ever stands alone.
    tree_data d(202, 1, {4});
    std::vector<int> cat = blocks_of({0, 1, 2}, 40);
    cat.insert(cat.end(), 82, 3);
    nominal_blocks(d, cat, {1, 0, 0, 0});
    d.grow();
    ASSERT_GE(d.n_nodes, 3);
    EXPECT_GE(d.nodes.node_cases[1], 61);
    EXPECT_GE(d.nodes.node_cases[2], 61);
    int mask = static_cast<int>(d.nodes.split_value[0]);
    EXPECT_EQ(mask & 8, 0);
    EXPECT_NE(mask, 1);
    EXPECT_NE(mask, 2);
    EXPECT_NE(mask, 4);
}

} // namespace
