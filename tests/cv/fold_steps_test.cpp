// The pieces of one fold on hand-built trees: the permutation, cv_alpha,
// routing of held-out cases, fold pruning and the held-out scores.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "cv/cross_validate.h"
#include "cv/cv_settings.h"
#include "cv/evaluate_fold.h"
#include "cv/fold_steps.h"
#include "numeric/arrays.h"
#include "numeric/ran1.h"
#include "numeric/run_counts.h"
#include "prune/subtree_sums.h"

namespace {

// Held-out outcome columns (q outcomes each) as a q+1 row matrix with the pair
// counts in row q.
struct outcome_columns {
    std::vector<std::vector<int>> rows;
    std::vector<int*> ptrs;
    outcome_columns(int q, const std::vector<std::vector<int>>& cases) : rows(q + 1) {
        for (const auto& y : cases) {
            int s = 0;
            for (int j = 0; j < q; j++) {
                rows[j].push_back(y[j]);
                s += y[j];
            }
            rows[q].push_back(s * (s - 1) / 2);
        }
        for (auto& r : rows) ptrs.push_back(r.data());
    }
    int** data() { return ptrs.data(); }
};

// Statistics rows and per-node work storage for test_score.
struct score_storage {
    int** stats;
    int n;
    std::vector<int> held_out;
    score_storage(int n_nodes) : stats(imatrix(n_nodes, stat_len)), n(n_nodes), held_out(n_nodes) {}
    ~score_storage() { release_matrix(stats, n); }
};

} // namespace

TEST(RandomPermutation, FreshGeneratorAtSeed13) {
    reset_ran1();
    int seed = 13;
    int* first = random_permutation(&seed, 10);
    EXPECT_EQ(std::vector<int>(first, first + 10),
              std::vector<int>({8, 4, 3, 1, 2, 5, 0, 9, 7, 6}));
    EXPECT_EQ(seed, 1);
    int* second = random_permutation(&seed, 10);
    EXPECT_EQ(std::vector<int>(second, second + 10),
              std::vector<int>({0, 1, 3, 8, 4, 5, 7, 2, 9, 6}));
    release_vector(first);
    release_vector(second);
}

TEST(CvAlpha, GeometricMeansExceptTheLastTwo) {
    std::vector<real> values = {0, 4, 9, 16};
    real* saved = alpha;
    alpha = values.data();
    n_subtrees = 2;
    EXPECT_EQ(cv_alpha(0), 0.0f);
    EXPECT_EQ(cv_alpha(1), 4.0f);
    n_subtrees = 3;
    EXPECT_EQ(cv_alpha(0), 0.0f);
    EXPECT_EQ(cv_alpha(1), 4.0f);
    EXPECT_EQ(cv_alpha(2), 9.0f);
    n_subtrees = 4;
    EXPECT_EQ(cv_alpha(1), 6.0f);
    EXPECT_EQ(cv_alpha(2), 9.0f);
    EXPECT_EQ(cv_alpha(3), 16.0f);
    alpha = saved;
}

TEST(DropTestCases, OrderedAndNominalRouting) {
    // Root split on ordered covariate 0 at 2.5; node 2 on nominal covariate 1
    // (3 categories) with categories 0 and 2 going left.
    std::vector<int> levels = {1, 3};
    cov_levels = levels.data();
    std::vector<int> split_covariate = {0, 0, 1, 0, 0};
    std::vector<real> split_value = {2.5f, 0, 5, 0, 0};
    std::vector<int> left = {1, 0, 3, 0, 0};
    std::vector<real> x0 = {2.5f, 3, 3, 2.4f, 7};
    std::vector<real> x1 = {1, 1, 2, 0, 0};
    real* covariates[] = {x0.data(), x1.data()};
    std::vector<int> test_node(5, -1);
    drop_test_cases(covariates, 5, split_covariate.data(), split_value.data(), left.data(), 5,
                    test_node.data());
    EXPECT_EQ(test_node, std::vector<int>({1, 4, 3, 1, 3}));

    // A table whose links never reach a terminal node is caught.
    std::vector<int> looping = {2, 0, 1};
    EXPECT_EXIT(drop_test_cases(covariates, 2, split_covariate.data(), split_value.data(),
                                looping.data(), 3, test_node.data()),
                testing::ExitedWithCode(1), "count: out of bound");
}

TEST(PruneFoldTree, CollapsesBranchesAndMovesHeldOutCases) {
    // Root 100 into 1 (40) and 2 (50), node 2 into 3 (20) and 4 (25).
    std::vector<real> value = {100, 40, 50, 20, 25};
    std::vector<int> left = {1, 0, 3, 0, 0};
    std::vector<int> parent = {-1, 0, 0, 2, 2};
    std::vector<int> flag(5, 1);
    std::vector<real> cost(5);
    std::vector<int> leaves(5);
    std::vector<int> test_node = {1, 3, 4, 3};
    subtree_sums(left.data(), value.data(), 5, cost.data(), leaves.data());

    prune_fold_tree(5, value.data(), cost.data(), left.data(), parent.data(), test_node.data(), 4,
                    leaves.data(), 4.9999999, flag.data());
    EXPECT_EQ(test_node, std::vector<int>({1, 2, 2, 2}));
    EXPECT_EQ(flag, std::vector<int>({1, 1, 1, 0, 0}));
    EXPECT_EQ(left[2], 0);
    EXPECT_EQ(leaves[0], 2);
    EXPECT_FLOAT_EQ(cost[0], 90.0f);

    prune_fold_tree(5, value.data(), cost.data(), left.data(), parent.data(), test_node.data(), 4,
                    leaves.data(), 10, flag.data());
    EXPECT_EQ(test_node, std::vector<int>({0, 0, 0, 0}));
    EXPECT_EQ(flag, std::vector<int>({1, 0, 0, 0, 0}));
}

TEST(PruneFoldTree, ToleranceIsAdditive) {
    // g(2) is a few 1e-8 above 0: kept by the main sequence at alpha 0 (relative
    // tolerance) but pruned in a fold tree at alpha 0 (1e-7 added).
    std::vector<real> value = {10, 5, 1.5e-7f, 5e-8f, 5e-8f};
    std::vector<int> left = {1, 0, 3, 0, 0};
    std::vector<int> parent = {-1, 0, 0, 2, 2};
    std::vector<int> flag(5, 1);
    std::vector<real> cost(5);
    std::vector<int> leaves(5);
    std::vector<int> test_node = {3};
    subtree_sums(left.data(), value.data(), 5, cost.data(), leaves.data());
    double g = link_value(2, value.data(), cost.data(), leaves.data());
    ASSERT_GT(g, 0.0);
    ASSERT_LT(g, 1e-7);
    prune_fold_tree(5, value.data(), cost.data(), left.data(), parent.data(), test_node.data(), 1,
                    leaves.data(), 0.0, flag.data());
    EXPECT_EQ(left[2], 0);
    EXPECT_EQ(test_node[0], 2);
    EXPECT_EQ(left[0], 1);
}

TEST(AssignModelNodes, NearestFittedAncestor) {
    std::vector<int> parent = {-1, 0, 0, 1, 1, 3, 3};
    std::vector<int> fitted = {1, 0, 1, 0, 1, 0, 0};
    std::vector<int> model(7);
    assign_model_nodes(7, parent.data(), fitted.data(), model.data());
    EXPECT_EQ(model, std::vector<int>({0, 0, 2, 0, 4, 0, 0}));
    fitted[0] = 0;
    assign_model_nodes(7, parent.data(), fitted.data(), model.data());
    EXPECT_EQ(model, std::vector<int>({-1, -1, 2, -1, 4, -1, -1}));
}

TEST(TestScore, OneOutcomeAtZeroParameters) {
    set_outcome_counts(1);
    // Four held-out cases in node 1, a single one in node 2, none in node 0.
    outcome_columns y(1, {{1}, {0}, {1}, {1}, {0}});
    std::vector<int> test_node = {1, 1, 2, 1, 1};
    real** params = matrix(3, 2);
    for (int t = 0; t < 3; t++) params[t][0] = params[t][1] = 0;
    std::vector<real> A = {2, 2, 2};
    std::vector<int> n_retained = {1, 1, 1};
    int** retained = imatrix(3, 1);
    for (int t = 0; t < 3; t++) retained[t][0] = 0;
    std::vector<int> model = {0, 1, 2};
    score_storage work(3);
    auto score = [&] {
        real slot = 0;
        test_score(y.data(), test_node.data(), 5, &slot, 3, params, A.data(), n_retained.data(),
                   retained, model.data(), work.stats, work.held_out.data());
        return slot;
    };
    EXPECT_EQ(score(), static_cast<real>(4 * std::log(2.0)));
    // Counting single held-out cases adds node 2's case.
    score_single_held_out = true;
    const real with_single = score();
    score_single_held_out = false;
    EXPECT_EQ(with_single, static_cast<real>(static_cast<real>(4 * std::log(2.0)) + std::log(2.0)));

    test_node = {3, 1, 1, 1, 1};
    EXPECT_EXIT(score(), testing::ExitedWithCode(1), "node # out of range");
    release_matrix(params, 3);
    release_matrix(retained, 3);
}

TEST(TestScore, PairsParametersWithTheOutcomesTheFitKept) {
    set_outcome_counts(3);
    // Held-out S = (2, 2, 3), pairs (0,1) 1, (0,2) 2, (1,2) 1, T = 4.
    outcome_columns y(3, {{1, 1, 1}, {1, 0, 1}, {0, 1, 0}, {0, 0, 1}});
    std::vector<int> test_node = {0, 0, 0, 0};
    const real theta0 = 0.75f, theta1 = -0.5f, theta2 = 1.25f, omega = 0.3f, a_full = 9.5f;
    const real a_reduced = 7.25f;
    real** params = matrix(2, 4);
    int** retained = imatrix(2, 3);
    // Node 0 kept every outcome; node 1 kept outcomes 0 and 2 only.
    params[0][0] = theta0, params[0][1] = theta1, params[0][2] = theta2, params[0][3] = omega;
    retained[0][0] = 0, retained[0][1] = 1, retained[0][2] = 2;
    params[1][0] = theta0, params[1][1] = theta2, params[1][2] = omega;
    retained[1][0] = 0, retained[1][1] = 2;
    std::vector<real> A = {a_full, a_reduced};
    std::vector<int> n_retained = {3, 2};
    score_storage work(2);

    std::vector<int> model = {0, 1};
    auto score = [&] {
        real slot = 0;
        test_score(y.data(), test_node.data(), 4, &slot, 2, params, A.data(), n_retained.data(),
                   retained, model.data(), work.stats, work.held_out.data());
        return slot;
    };
    double full = 4 * std::log(static_cast<double>(a_full));
    full -= static_cast<double>(theta0) * 2;
    full -= static_cast<double>(theta1) * 2;
    full -= static_cast<double>(theta2) * 3;
    full -= static_cast<double>(omega) * 4;
    EXPECT_EQ(score(), static_cast<real>(full));

    // The same cases in a node scored with the reduced model: theta of outcome
    // 2 goes with S_2 and omega with the pairs among outcomes 0 and 2.
    test_node = {1, 1, 1, 1};
    double reduced = 4 * std::log(static_cast<double>(a_reduced));
    reduced -= static_cast<double>(theta0) * 2;
    reduced -= static_cast<double>(theta2) * 3;
    reduced -= static_cast<double>(omega) * 2;
    EXPECT_EQ(score(), static_cast<real>(reduced));

    // A node without a model of its own uses its ancestor's; with none on the
    // way to the root every pattern counts alike, q ln 2 per case.
    model = {0, 0};
    EXPECT_EQ(score(), static_cast<real>(full));
    model = {-1, -1};
    EXPECT_EQ(score(), static_cast<real>(4 * std::log(8.0)));
    release_matrix(params, 2);
    release_matrix(retained, 2);
}
