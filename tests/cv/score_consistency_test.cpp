// Held-out scoring against the fit itself: when the held-out cases are the
// training cases, the unpruned fold tree scores the sum of its terminal nodes'
// values (up to float rounding), on random data sets, under both node models.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "cv/evaluate_fold.h"
#include "model/fit_workspace.h"
#include "model/node_model.h"
#include "numeric/arrays.h"
#include "numeric/run_counts.h"
#include "tree/node_table.h"

TEST(ScoreConsistency, TrainingCasesScoreTheirOwnTerminalValues) {
    std::mt19937 gen(11);
    int checked = 0;
    for (int trial = 0; trial < 8; trial++) {
        // The pairwise model fits every node, pure ones included.
        node_model = trial >= 6 ? node_model_pairwise : node_model_common;
        const int n = 300 + 40 * trial, q = 2 + trial % 3, p = 3;
        n_subjects = n;
        n_covariates = p;
        set_outcome_counts(q);
        max_nodes = 200;
        std::vector<int> levels(p, 1);
        cov_levels = levels.data();
        real** x = matrix(p, n);
        int** y = imatrix(q + 1, n);
        std::uniform_real_distribution<double> u(0, 1);
        for (int s = 0; s < n; s++) {
            for (int v = 0; v < p; v++) x[v][s] = static_cast<real>(std::floor(u(gen) * 50));
            int positive = 0;
            for (int j = 0; j < q; j++) {
                double pr = 0.2 + 0.6 * (x[j % p][s] > 25) + 0.1 * (positive > 0);
                y[j][s] = u(gen) < pr ? 1 : 0;
                positive += y[j][s];
            }
            y[q][s] = positive * (positive - 1) / 2;
        }
        real zero_alpha = 0;
        alpha = &zero_alpha;
        n_subtrees = 1;
        node_table nodes;
        split_workspace split;
        fit_workspace fit;
        alloc_node_table(nodes);
        alloc_split_workspace(split);
        alloc_fit_workspace(fit, q);
        real score = 0;
        testing::internal::CaptureStdout();
        evaluate_fold(x, y, n, &score, x, y, n, nodes, split, fit);
        testing::internal::GetCapturedStdout();

        // Terminal nodes of the tree as pruned at alpha 0; a pure node (value 0)
        // has no model of its own and is skipped as a whole data set.
        double leaves = 0;
        bool all_fitted = true;
        std::vector<int> stack{0};
        while (!stack.empty()) {
            int t = stack.back();
            stack.pop_back();
            int d = nodes.left_daughter[t];
            if (d != 0) {
                stack.push_back(d);
                stack.push_back(d + 1);
                continue;
            }
            if (nodes.node_value[t] == 0) all_fitted = false;
            leaves += nodes.node_value[t];
        }
        if (all_fitted) {
            EXPECT_NEAR(score, leaves, 1e-4 * leaves) << "trial " << trial;
            checked++;
        }
        release_fit_workspace(fit);
        release_split_workspace(split);
        release_node_table(nodes);
        release_matrix(y, q + 1);
        release_matrix(x, p);
        alpha = nullptr;
    }
    node_model = node_model_common;
    EXPECT_GE(checked, 6);
}
