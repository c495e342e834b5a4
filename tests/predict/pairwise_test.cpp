// The pairwise node model, P(y) = exp(sum theta_j y_j + sum_{j<k} omega_jk
// y_j y_k) / Z: pattern probabilities and log-likelihoods against the law
// summed out by hand, with a different association per pair; the
// log-likelihood is the engine's held-out score of the one case, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/pairwise_fit.h"
#include "predict/node_scoring.h"

TEST(PredictScoring, PairwiseModelGivesEachPairItsOwnAssociation) {
    // theta_0..2, then omega_01, omega_02, omega_12.
    const std::vector<double> params = {0.4, -0.7, 0.1, 0.9, -0.5, 0.2};
    auto weight = [&](double y0, double y1, double y2) {
        return std::exp(params[0] * y0 + params[1] * y1 + params[2] * y2 + params[3] * y0 * y1 +
                        params[4] * y0 * y2 + params[5] * y1 * y2);
    };
    double a = 0;
    for (int i = 0; i < 8; i++) a += weight(i >> 2 & 1, i >> 1 & 1, i & 1);

    fitted_model model;
    model.node_model_kind = "pairwise";
    model.outcomes = {"a", "b", "c"};
    model_node_entry root;
    root.cases = 10;
    root.positives = {5, 5, 5};
    fitted_node_model& f = root.model;
    f.fitted = true;
    f.model_node = 0;
    f.retained = {0, 1, 2};
    f.pure = {false, false, false};
    f.theta = {0.4f, -0.7f, 0.1f};
    f.pair_params = params;
    f.log_normaliser = std::log(a);
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
        EXPECT_NEAR(case_log_likelihood(scorer, y), std::log(exact), 1e-12) << "pattern " << i;
        // The statistics of one case: y_j, then y_j y_l for j <= l.
        const int stats[9] = {y[0],        y[1], y[2],        y[0], y[0] * y[1],
                              y[0] * y[2], y[1], y[1] * y[2], y[2]};
        EXPECT_EQ(case_log_likelihood(scorer, y),
                  -pairwise_held_out_score(params.data(), std::log(a), stats, 1, 3))
            << "pattern " << i;
    }
}
