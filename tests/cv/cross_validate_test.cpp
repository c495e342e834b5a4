// Whole cross-validation calls on small generated data sets: the fold layout in
// permutation order, the console lines, single-node fold trees and the
// training outcome check.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "cv/cross_validate.h"
#include "cv/fold_copies.h"
#include "model/fit_workspace.h"
#include "numeric/arrays.h"
#include "numeric/ran1.h"
#include "numeric/run_counts.h"
#include "tree/node_table.h"

namespace {

// One ordered covariate holding the subject number, q outcomes from a rule.
struct cv_setup {
    real** covariates;
    int** outcomes;
    std::vector<int> levels;
    std::vector<real> alphas;
    node_table nodes;
    split_workspace split;
    fit_workspace fit;
    fold_copies copies;
    int n, q;

    cv_setup(int n_, int q_, int (*outcome)(int subject, int j), std::vector<real> alpha_values)
        : levels(1, 1), alphas(alpha_values), n(n_), q(q_) {
        n_subjects = n;
        n_covariates = 1;
        set_outcome_counts(q);
        max_nodes = 2 * n < 200 ? 2 * n : 200;
        cov_levels = levels.data();
        covariates = matrix(1, n);
        outcomes = imatrix(q + 1, n);
        for (int s = 0; s < n; s++) {
            covariates[0][s] = static_cast<real>(s);
            int positive = 0;
            for (int j = 0; j < q; j++) {
                outcomes[j][s] = outcome(s, j);
                positive += outcomes[j][s];
            }
            outcomes[q][s] = positive * (positive - 1) / 2;
        }
        alpha = alphas.data();
        n_subtrees = static_cast<int>(alphas.size());
        alloc_node_table(nodes);
        alloc_split_workspace(split);
        alloc_fit_workspace(fit, q);
        alloc_fold_copies(copies);
    }
    ~cv_setup() {
        release_fold_copies(copies);
        release_fit_workspace(fit);
        release_split_workspace(split);
        release_node_table(nodes);
        release_matrix(outcomes, q + 1);
        release_matrix(covariates, 1);
        alpha = nullptr;
    }
    real* run(int n_folds, std::string* out) {
        reset_ran1();
        int seed = 13;
        testing::internal::CaptureStdout();
        real* scores =
            cross_validate(covariates, outcomes, n, &seed, n_folds, nodes, copies, split, fit);
        *out = testing::internal::GetCapturedStdout();
        return scores;
    }
};

int all_zero(int, int) {
    return 0;
}
int alternating(int s, int) {
    return s % 2;
}

} // namespace

TEST(CrossValidate, RemainderTrainsInEveryFold) {
    // Outcomes that never vary: the fold trees are single nodes whose fit has no
    // normaliser, so every held-out case costs q ln 2.
    cv_setup data(103, 2, all_zero, {0, 1});
    std::string out;
    real* scores = data.run(5, &out);

    std::string expected;
    for (int f = 1; f <= 5; f++)
        expected += "growing ...\ndone\n" + std::to_string(f) + " of 5-fold CVs finished\n";
    EXPECT_EQ(out, expected);

    reset_ran1();
    int seed = 13;
    int* order = random_permutation(&seed, 103);
    // The last fold held out positions 80 .. 99 and trained on 0 .. 79 and the
    // remainder 100 .. 102, all in permutation order.
    for (int j = 0; j < 20; j++)
        EXPECT_EQ(data.copies.test_covariates[0][j], static_cast<real>(order[80 + j])) << j;
    for (int m = 0; m < 83; m++) {
        int position = m < 80 ? m : m + 20;
        EXPECT_EQ(data.copies.train_covariates[0][m], static_cast<real>(order[position])) << m;
    }
    release_vector(order);

    real expected_score = 0;
    for (int f = 0; f < 5; f++)
        expected_score = static_cast<real>(expected_score + 20 * std::log(4.0));
    EXPECT_EQ(scores[0], expected_score);
    EXPECT_EQ(scores[1], expected_score);
    release_vector(scores);
}

TEST(CrossValidate, SingleNodeFoldTreesScoreEverySubtreeAlike) {
    // 40 training cases per fold cannot be split: each subtree gets the root
    // model's score.
    cv_setup data(50, 1, alternating, {0, 2, 5});
    std::string out;
    real* scores = data.run(5, &out);
    EXPECT_GT(scores[0], 0.0f);
    EXPECT_EQ(scores[1], scores[0]);
    EXPECT_EQ(scores[2], scores[0]);
    release_vector(scores);
}

TEST(CrossValidate, TrainingOutcomeOutsideZeroOneStops) {
    cv_setup data(30, 2, alternating, {0});
    data.outcomes[1][7] = 2;
    EXPECT_EXIT(
        {
            int seed = 13;
            cross_validate(data.covariates, data.outcomes, data.n, &seed, 3, data.nodes,
                           data.copies, data.split, data.fit);
        },
        testing::ExitedWithCode(255), "");
}
