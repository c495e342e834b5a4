// The pairwise node model, P(y) proportional to exp(sum theta_j y_j +
// sum_{j<k} omega_jk y_j y_k): pattern probabilities and log-likelihoods
// against the law summed out by hand, with a different association per pair.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "predict/node_scoring.h"

TEST(PredictScoring, PairwiseModelGivesEachPairItsOwnAssociation) {
    const std::vector<float> theta = {0.4f, -0.7f, 0.1f};
    const std::vector<float> pairs = {0, 0.9f, -0.5f, 0.9f, 0, 0.2f, -0.5f, 0.2f, 0};
    auto weight = [&](double y0, double y1, double y2) {
        return std::exp(theta[0] * y0 + theta[1] * y1 + theta[2] * y2 + pairs[1] * y0 * y1 +
                        pairs[2] * y0 * y2 + pairs[5] * y1 * y2);
    };
    double a = 0;
    for (int i = 0; i < 8; i++) a += weight(i >> 2 & 1, i >> 1 & 1, i & 1);

    fitted_model model;
    model.node_model_kind = "pairwise";
    model.outcomes = {"a", "b", "c"};
    model_node_entry root;
    root.cases = 10;
    root.positives = {5, 5, 5};
    node_model& f = root.model;
    f.fitted = true;
    f.model_node = 0;
    f.retained = {0, 1, 2};
    f.pure = {false, false, false};
    f.theta = theta;
    f.omega_pairs = pairs;
    f.normaliser = static_cast<float>(a);
    model.nodes.push_back(root);

    const std::vector<double> p = pattern_probabilities(model, 0);
    const case_scorer scorer = make_case_scorer(model, 0, "m.json");
    ASSERT_EQ(p.size(), 8u);
    for (int i = 0; i < 8; i++) {
        // Pattern i: outcome a is its most significant digit.
        const unsigned char y[3] = {static_cast<unsigned char>(i >> 2 & 1),
                                    static_cast<unsigned char>(i >> 1 & 1),
                                    static_cast<unsigned char>(i & 1)};
        const double exact = weight(y[0], y[1], y[2]) / a;
        EXPECT_NEAR(p[i], exact, 1e-12) << "pattern " << i;
        EXPECT_NEAR(case_log_likelihood(scorer, y), std::log(exact), 1e-6) << "pattern " << i;
    }
}
