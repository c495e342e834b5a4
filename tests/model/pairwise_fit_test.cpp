// The pairwise node model against independent computations: the pattern
// pass's moments against finite differences of ln Z, and the fit against
// iterative proportional fitting of the prior-augmented table of patterns,
// on random nodes and on the cases where no maximum-likelihood fit exists.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "model/fit_workspace.h"
#include "model/node_fit.h"
#include "model/node_model.h"
#include "model/pairwise_fit.h"
#include "model_cases.h"

namespace {

// Log-likelihood of the cases under the pairwise log-linear model fitted by
// iterative proportional fitting to the table of pattern counts plus 2^-q of
// a case on every pattern: the fit matches every one- and two-way margin of
// that table, which is what the maximum of the augmented likelihood does.
double ipf_log_likelihood(const std::vector<std::vector<int>>& cases, int q) {
    const int K = 1 << q;
    std::vector<double> count(K, pairwise_prior_weight / K), fit(K, 1.0 / K);
    for (const auto& c : cases) {
        int i = 0;
        for (int j = 0; j < q; j++) i |= c[j] << j;
        count[i] += 1.0;
    }
    double total = 0;
    for (double x : count) total += x;
    for (int sweep = 0; sweep < 20000; sweep++) {
        double change = 0;
        for (int j = 0; j < q; j++) {
            for (int k = (q == 1 ? j : j + 1); k < q; k++) {
                // Scale each cell of the (j, k) margin to the observed one.
                double want[4] = {0, 0, 0, 0}, have[4] = {0, 0, 0, 0};
                for (int i = 0; i < K; i++) {
                    const int cell = ((i >> j) & 1) * 2 + ((i >> k) & 1);
                    want[cell] += count[i] / total;
                    have[cell] += fit[i];
                }
                for (int i = 0; i < K; i++) {
                    const int cell = ((i >> j) & 1) * 2 + ((i >> k) & 1);
                    const double f = want[cell] / have[cell];
                    change = std::fmax(change, std::fabs(f - 1));
                    fit[i] *= f;
                }
            }
        }
        if (change < 1e-13) break;
    }
    double ll = 0;
    for (int i = 0; i < K; i++) ll += (count[i] - pairwise_prior_weight / K) * std::log(fit[i]);
    return ll;
}

struct workspace {
    pairwise_workspace pw;
    explicit workspace(int q) {
        set_outcome_counts(q);
        alloc_pairwise_workspace(pw, q);
    }
    ~workspace() { release_pairwise_workspace(pw); }
};

} // namespace

TEST(PairwisePatternPass, MomentsAreDerivativesOfLogZ) {
    std::mt19937 gen(3);
    std::uniform_real_distribution<double> u(-2.0, 2.0);
    for (int q : {1, 3, 5}) {
        workspace w(q);
        const int D = w.pw.D;
        std::vector<double> beta(D), plus(D), minus(D);
        for (double& b : beta) b = u(gen);
        pairwise_pattern_pass(beta.data(), w.pw, 1);
        const std::vector<double> E(w.pw.expected, w.pw.expected + D);
        const std::vector<double> I(w.pw.information, w.pw.information + D * D);
        // ln Z itself: the literal sum over patterns.
        double Z = 0;
        for (int i = 0; i < (1 << q); i++) {
            double eta = 0;
            for (int j = 0; j < q; j++) {
                if (!((i >> j) & 1)) continue;
                eta += beta[j];
                for (int k = j + 1; k < q; k++)
                    if ((i >> k) & 1) eta += beta[pairwise_index(q, j, k)];
            }
            Z += std::exp(eta);
        }
        EXPECT_NEAR(pairwise_pattern_pass(beta.data(), w.pw, 0), std::log(Z), 1e-12);
        const double h = 1e-5;
        for (int a = 0; a < D; a++) {
            plus = beta;
            minus = beta;
            plus[a] += h;
            minus[a] -= h;
            const double lp = pairwise_pattern_pass(plus.data(), w.pw, 1);
            const std::vector<double> Ep(w.pw.expected, w.pw.expected + D);
            const double lm = pairwise_pattern_pass(minus.data(), w.pw, 1);
            EXPECT_NEAR((lp - lm) / (2 * h), E[a], 1e-8) << "q " << q << " a " << a;
            for (int b = 0; b < D; b++)
                EXPECT_NEAR((Ep[b] - w.pw.expected[b]) / (2 * h), I[a * D + b], 1e-8)
                    << "q " << q << " a " << a << " b " << b;
        }
    }
}

TEST(PairwiseFit, AgreesWithProportionalFittingOnRandomAndBoundaryNodes) {
    std::mt19937 gen(17);
    struct node_case {
        const char* what;
        int q;
        std::vector<std::vector<int>> cases;
    };
    std::vector<node_case> nodes;
    for (int q : {1, 2, 3, 4, 6}) {
        for (int rep = 0; rep < 3; rep++) {
            std::vector<double> p(q);
            for (double& x : p) x = 0.15 + 0.7 * std::uniform_real_distribution<double>(0, 1)(gen);
            nodes.push_back({"random", q, random_cases(gen, q, 40 + 30 * rep, p, 0.6)});
        }
    }
    // No maximum-likelihood fit exists for any of these.
    nodes.push_back({"outcome 1 always 0", 3, {{1, 0, 0}, {0, 0, 1}, {1, 0, 1}, {0, 0, 0}}});
    nodes.push_back({"outcome 0 always 1", 3, {{1, 0, 0}, {1, 1, 1}, {1, 0, 1}, {1, 1, 0}}});
    nodes.push_back({"pair never together", 3, {{1, 0, 0}, {0, 1, 1}, {1, 0, 1}, {0, 0, 0}}});
    nodes.push_back({"outcomes equal", 3, {{1, 1, 0}, {0, 0, 1}, {1, 1, 1}, {0, 0, 0}}});
    nodes.push_back({"outcomes opposite", 2, {{1, 0}, {0, 1}, {1, 0}, {0, 1}, {0, 1}}});
    nodes.push_back({"one pattern", 4, std::vector<std::vector<int>>(70, {1, 0, 1, 1})});
    nodes.push_back({"one case", 5, {{0, 1, 1, 0, 1}}});

    for (const node_case& nc : nodes) {
        workspace w(nc.q);
        const std::vector<int> stats = stats_of(nc.cases, nc.q);
        const int n = static_cast<int>(nc.cases.size());
        const double value = pairwise_log_likelihood(stats.data(), n, w.pw);
        EXPECT_TRUE(w.pw.converged) << nc.what;
        EXPECT_LT(value, 0.0) << nc.what;
        EXPECT_NEAR(value, ipf_log_likelihood(nc.cases, nc.q), 1e-8 * n) << nc.what;
        for (int d = 0; d < w.pw.D; d++) EXPECT_TRUE(std::isfinite(w.pw.params[d])) << nc.what;

        // Every pattern, also one the node never showed, costs a finite amount,
        // and the scores of single patterns add up to the node's own value.
        double total = 0;
        for (int i = 0; i < (1 << nc.q); i++) {
            std::vector<int> y(nc.q);
            for (int j = 0; j < nc.q; j++) y[j] = (i >> j) & 1;
            const std::vector<int> one = stats_of({y}, nc.q);
            const double s =
                pairwise_held_out_score(w.pw.params, w.pw.log_normaliser, one.data(), 1, nc.q);
            EXPECT_TRUE(std::isfinite(s) && s > 0) << nc.what;
            total += std::exp(-s);
        }
        EXPECT_NEAR(total, 1.0, 1e-12) << nc.what;
        EXPECT_NEAR(
            pairwise_held_out_score(w.pw.params, w.pw.log_normaliser, stats.data(), n, nc.q),
            -value, 1e-9 * n)
            << nc.what;
    }
}

TEST(PairwiseFit, NodeFitEntriesDispatchOnTheRunsModel) {
    std::mt19937 gen(5);
    const int q = 4;
    set_outcome_counts(q);
    const auto cases = random_cases(gen, q, 90, {0.3, 0.5, 0.6, 0.4}, 0.5);
    const std::vector<int> stats = stats_of(cases, q);
    node_model = node_model_pairwise;
    fit_workspace a, b;
    alloc_fit_workspace(a, q);
    alloc_fit_workspace(b, q);
    node_model = node_model_common;
    ASSERT_NE(a.pairwise.doubles, nullptr);
    workspace w(q);
    const double direct = pairwise_log_likelihood(stats.data(), 90, w.pw);

    node_model = node_model_pairwise;
    std::vector<real> params(q + 1), means(q + 1);
    real normaliser = 0;
    EXPECT_EQ(node_log_likelihood(stats.data(), 90, params.data(), means.data(), &normaliser, a),
              direct);
    double values[2], value = 0;
    EXPECT_TRUE(quiet_pair_log_likelihood(
        {stats.data(), 90, params.data(), means.data(), &normaliser, &a},
        {stats.data(), 90, params.data(), means.data(), &normaliser, &b}, values));
    EXPECT_TRUE(quiet_log_likelihood(
        {stats.data(), 90, params.data(), means.data(), &normaliser, &b}, &value));
    node_model = node_model_common;
    EXPECT_EQ(values[0], direct);
    EXPECT_EQ(values[1], direct);
    EXPECT_EQ(value, direct);
    EXPECT_EQ(a.fitted, 1);
    EXPECT_EQ(a.n_retained, q);
    release_fit_workspace(a);
    release_fit_workspace(b);
}

TEST(NodeModel, PairwiseRefusesMoreThanTenOutcomes) {
    EXPECT_EQ(node_model_refusal(node_model_pairwise, 10), "");
    EXPECT_EQ(node_model_refusal(node_model_pairwise, 11),
              "the pairwise model takes at most 10 outcomes, not 11");
    EXPECT_EQ(node_model_refusal(node_model_common, 16), "");
    EXPECT_EQ(node_param_count(node_model_pairwise, 4), 10);
    EXPECT_EQ(node_param_count(node_model_common, 4), 5);
}
