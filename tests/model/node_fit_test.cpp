// The node likelihood fit: pattern sums, start values, special nodes, the
// failure paths, and agreement with an independent maximum-likelihood fit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "model/fit_workspace.h"
#include "model/node_fit.h"
#include "model/node_stats.h"
#include "model_cases.h"
#include "numeric/run_counts.h"
#include "support/test_support.h"

namespace {

struct fit_result {
    double value;
    std::vector<real> params, means;
    real normaliser;
    int fitted, n_retained, passes, stop_rule, capped_trials;
    std::vector<int> retained;
};

// Fits the node summarised by stats (q outcomes, n cases) in a fresh workspace.
fit_result fit(const std::vector<int>& stats, int q, int n) {
    set_outcome_counts(q);
    fit_workspace ws;
    alloc_fit_workspace(ws, q);
    fit_result r;
    r.params.assign(q + 1, -99.0f);
    r.means.assign(q + 1, -99.0f);
    r.normaliser = -99.0f;
    r.value =
        node_log_likelihood(stats.data(), n, r.params.data(), r.means.data(), &r.normaliser, ws);
    r.fitted = ws.fitted;
    r.n_retained = ws.n_retained;
    r.retained.assign(ws.retained, ws.retained + ws.n_retained);
    r.passes = ws.passes;
    r.stop_rule = ws.stop_rule;
    r.capped_trials = ws.capped_trials;
    release_fit_workspace(ws);
    return r;
}

fit_result fit_cases(const std::vector<std::vector<int>>& cases, int q) {
    set_outcome_counts(q);
    return fit(stats_of(cases, q), q, static_cast<int>(cases.size()));
}

TEST(MatVec, RoundsTheRunningSumAfterEveryTerm) {
    real row[3] = {1.0f, 3e-8f, 3e-8f};
    real* M[1] = {row};
    const real x[3] = {1.0f, 1.0f, 1.0f};
    real out[1];
    mat_vec(M, 3, 1, x, out);
    // Rounded per term, each 3e-8 is lost against 1; a double sum would round up.
    EXPECT_EQ(out[0], 1.0f);
    EXPECT_NE(static_cast<real>(1.0 + 3e-8f + 3e-8f), 1.0f);
}

// The pattern sum written pattern by pattern, every stored value rounded where
// it is stored: the optimised sum must give the same bits.
int literal_pattern_sum(const real* params, real* A, real* E, int K, int q) {
    real a = 0.0f;
    for (int l = 0; l <= K; l++) E[l] = 0.0f;
    int capped = 0;
    std::vector<int> bits(K + 1);
    for (long i = 0; i < (1L << q); i++) {
        int s = 0;
        double eta = 0.0;
        for (int j = 0; j < K; j++) {
            bits[j] = (i >> j) & 1;
            s += bits[j];
            if (bits[j]) eta += params[j];
        }
        bits[K] = s * (s - 1) / 2;
        eta += bits[K] * static_cast<double>(params[K]);
        if (eta > 50) eta = 50, capped = 1;
        const real e = static_cast<real>(std::exp(eta));
        a = static_cast<real>(static_cast<double>(a) + e);
        for (int l = 0; l <= K; l++)
            E[l] = static_cast<real>(E[l] + bits[l] * static_cast<double>(e));
    }
    for (int l = 0; l <= K; l++) E[l] = static_cast<real>(static_cast<double>(E[l]) / a);
    *A = a;
    return capped;
}

TEST(EnumeratePatterns, BitIdenticalToThePatternByPatternSum) {
    std::mt19937 gen(31);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int q = 1; q <= 10; q++) {
        set_outcome_counts(q);
        fit_workspace ws;
        alloc_fit_workspace(ws, q);
        for (int rep = 0; rep < 200; rep++) {
            const int K = rep % 4 == 3 && q > 1 ? 1 + rep % q : q; // some K < q
            std::vector<real> params(K + 1);
            // Some fits reach the cap, and most stay where the exponentials
            // come from products of the parameters' exponentials.
            const double spread = rep % 5 == 0   ? 12.0
                                  : rep % 5 == 1 ? 3.0
                                                 : 30.0 / (K * (K + 1) / 2);
            for (int j = 0; j <= K; j++) params[j] = static_cast<real>(spread * u(gen));
            if (rep % 7 == 0) params[K] = static_cast<real>(std::fabs(params[K]) * 4);
            real A, A_ref;
            std::vector<real> E(K + 1), E_ref(K + 1);
            int capped = enumerate_patterns(params.data(), &A, E.data(), K, ws.pattern_bits, ws);
            int capped_ref = literal_pattern_sum(params.data(), &A_ref, E_ref.data(), K, q);
            ASSERT_EQ(A, A_ref) << q << " " << K << " " << rep;
            ASSERT_EQ(capped, capped_ref);
            for (int l = 0; l <= K; l++) ASSERT_EQ(E[l], E_ref[l]) << q << " " << K << " " << l;
        }
        release_fit_workspace(ws);
    }
}

TEST(EnumeratePatternsDeathTest, NotANumberNormaliserEndsSilently) {
    set_outcome_counts(2);
    fit_workspace ws;
    alloc_fit_workspace(ws, 2);
    const real params[3] = {NAN, 0.0f, 0.0f};
    real A, E[3];
    EXPECT_EXIT(enumerate_patterns(params, &A, E, 2, ws.pattern_bits, ws),
                testing::ExitedWithCode(255), "^$");
    release_fit_workspace(ws);
}

TEST(StartParameters, LogitsClampedToMinusOneOutsideThree) {
    const real means[5] = {0.96f, 0.95f, 0.0f, 0.5f, 1.0f};
    real params[6];
    int retained[5];
    ASSERT_EQ(start_parameters(means, 5, params, retained), 3);
    EXPECT_EQ(retained[0], 0);
    EXPECT_EQ(retained[1], 1);
    EXPECT_EQ(retained[2], 3);
    EXPECT_EQ(params[0], -1.0f);
    EXPECT_EQ(params[1], static_cast<real>(std::log(0.95f / (1.0 - 0.95f))));
    EXPECT_NEAR(params[1], std::log(19.0), 1e-5);
    EXPECT_EQ(params[2], 0.0f);
    EXPECT_EQ(params[3], 0.0f);
}

TEST(NodeFit, EmptyAndPureNodesAreWorthZero) {
    fit_result r = fit(std::vector<int>(14, 0), 3, 0);
    EXPECT_EQ(r.value, 0.0);
    EXPECT_EQ(r.params[0], -99.0f);
    EXPECT_EQ(r.means[0], -99.0f);
    EXPECT_EQ(r.fitted, 0);

    std::vector<std::vector<int>> pure(40, {1, 0, 1});
    r = fit_cases(pure, 3);
    EXPECT_EQ(r.value, 0.0);
    EXPECT_EQ(r.params[0], 0.0f);
    EXPECT_EQ(r.n_retained, 0);
    EXPECT_EQ(r.fitted, 0);
    EXPECT_EQ(r.normaliser, -99.0f);
}

TEST(NodeFit, OneOutcomeIsABernoulliFitWithOmegaAtZero) {
    std::vector<std::vector<int>> cases;
    for (int i = 0; i < 100; i++) cases.push_back({i < 30 ? 1 : 0});
    fit_result r = fit_cases(cases, 1);
    EXPECT_EQ(r.fitted, 1);
    EXPECT_EQ(r.params[1], 0.0f);
    EXPECT_NEAR(r.params[0], std::log(0.3 / 0.7), 1e-5);
    EXPECT_NEAR(r.value, 30 * std::log(0.3) + 70 * std::log(0.7), 1e-3);
    EXPECT_NEAR(r.normaliser, 1 + 0.3 / 0.7, 1e-5);
}

// n * (sum params * means - ln normaliser) in double: the objective at the
// returned parameters, whatever the iteration did.
double value_at_fit(const fit_result& r, int c, int n) {
    double v = -std::log(static_cast<double>(r.normaliser));
    for (int k = 0; k < c; k++) v += static_cast<double>(r.params[k]) * r.means[k];
    return n * v;
}

// An outcome constant over the node is dropped from the fit and costs n ln 2:
// the retained outcomes are fitted as a node without it, with the pair count
// taken among the retained outcomes only (counting pairs with an always-one
// outcome would leave the objective without a finite maximum).
TEST(NodeFit, ConstantOutcomesAreDroppedAtNLn2Each) {
    struct node {
        const char* what;
        int q;
        std::vector<double> p;
        double association;
        std::vector<int> place; // column of each outcome of the reduced case, -1 / -2: always 0 / 1
        std::vector<int> retained;
    };
    const node nodes[] = {
        {"last always 0", 2, {0.35, 0.6}, 0.7, {0, 1, -1}, {0, 1}},
        {"last always 1", 2, {0.35, 0.6}, 0.7, {0, 1, -2}, {0, 1}},
        {"middle always 0", 2, {0.6, 0.7}, 0.8, {0, -1, 1}, {0, 2}},
        {"two always 1", 3, {0.3, 0.5, 0.6}, 0.9, {-2, 0, 1, -2, 2}, {1, 2, 4}},
    };
    std::mt19937 gen(5);
    for (const node& nd : nodes) {
        const int n = 120, q = static_cast<int>(nd.place.size());
        const auto reduced = random_cases(gen, nd.q, n, nd.p, nd.association);
        std::vector<std::vector<int>> cases;
        for (const auto& c : reduced) {
            std::vector<int> full;
            for (int at : nd.place) full.push_back(at >= 0 ? c[at] : at == -2);
            cases.push_back(full);
        }
        const fit_result small = fit_cases(reduced, nd.q);
        const fit_result r = fit_cases(cases, q);
        ASSERT_EQ(r.fitted, 1) << nd.what;
        EXPECT_EQ(r.retained, nd.retained) << nd.what;
        // The mean pair count of the fit counts pairs among the retained outcomes.
        EXPECT_EQ(r.means[nd.q], small.means[nd.q]) << nd.what;
        EXPECT_EQ(r.params[nd.q + 1], -99.0f) << nd.what;
        EXPECT_NEAR(r.value, value_at_fit(r, nd.q + 1, n), 1e-3) << nd.what;
        // Near the maximum of the likelihood less n ln 2 per dropped outcome.
        const int dropped = q - nd.q;
        set_outcome_counts(nd.q);
        const std::vector<int> stats = stats_of(reduced, nd.q);
        std::vector<double> ybar;
        for (int j = 0; j < nd.q; j++) ybar.push_back(stats[j] / static_cast<double>(n));
        const double best =
            reference_max_log_likelihood(ybar, stats[pair_total_index(nd.q)] / double(n), n) -
            dropped * n * std::log(2.0);
        EXPECT_LE(r.value, best + 1e-3) << nd.what;
        EXPECT_NEAR(r.value, best, 1e-2 * std::fabs(best)) << nd.what;
        if (std::count(nd.place.begin(), nd.place.end(), -2) == 0) {
            // Always-zero outcomes leave the statistics and the step matrix of
            // the reduced node: the same iteration, shifted by n ln 2 each.
            EXPECT_NEAR(r.value, small.value - dropped * n * std::log(2.0), 1e-3) << nd.what;
            for (int k = 0; k <= nd.q; k++) EXPECT_NEAR(r.params[k], small.params[k], 1e-5);
            EXPECT_NEAR(r.normaliser, std::ldexp(small.normaliser, dropped), 1e-5 * r.normaliser);
        }
        for (int k = 0; k <= nd.q; k++) EXPECT_LT(std::fabs(r.params[k]), 10.0f) << nd.what;
    }
}

// Nodes whose first full Newton step reaches the exponent cap: the capped
// objective looks better than it is, and accepting such a trial would let the
// parameters run away and report the best possible value 0.
TEST(NodeFit, CappedTrialsAreHalvedNotAccepted) {
    struct node {
        int q, n;
        std::vector<int> stats;
    };
    const node nodes[] = {
        {3, 100, {99, 39, 67, 99, 38, 66, 39, 27, 67, 131, 130, 91, 119, 287}},
        {4, 30, {27, 29, 29, 19, 27,  27,  26,  17,  29,  28,
                 18, 29, 18, 19, 134, 129, 133, 131, 103, 686}},
        {5, 55, {48, 26, 18, 46, 54, 48, 23,  17,  39,  47,  26,  7,   23,  25,
                 18, 15, 18, 46, 45, 54, 259, 244, 162, 123, 237, 256, 1579}},
    };
    for (const node& nd : nodes) {
        fit_result r = fit(nd.stats, nd.q, nd.n);
        ASSERT_EQ(r.fitted, 1);
        EXPECT_GT(r.capped_trials, 0);
        std::vector<double> ybar(nd.q);
        for (int j = 0; j < nd.q; j++) ybar[j] = static_cast<double>(nd.stats[j]) / nd.n;
        const double best = reference_max_log_likelihood(
            ybar, static_cast<double>(nd.stats[pair_total_index(nd.q)]) / nd.n, nd.n);
        EXPECT_LT(r.value, best / 2) << nd.q;
        EXPECT_LE(r.value, best + 1e-3) << nd.q;
        EXPECT_NEAR(r.value, value_at_fit(r, nd.q + 1, nd.n), 1e-3 * std::fabs(best));
        for (int k = 0; k <= nd.q; k++) EXPECT_LT(std::fabs(r.params[k]), 50.0f) << nd.q;
    }
    // The q = 5 node converges despite its capped trial.
    fit_result r = fit(nodes[2].stats, 5, 55);
    EXPECT_EQ(r.stop_rule, fit_stop_gradient);
}

TEST(NodeFit, UnconvergedDecompositionGivesZeroAndKeepsStartValues) {
    // With negligibility judged at working precision, the sweeps on this
    // singular covariance matrix never settle.
    testing::internal::CaptureStdout();
    fit_result r = fit(unconverged_stats, 6, 24);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "No convergence in 30 SVDCMP iterations\n");
    EXPECT_EQ(r.value, 0.0);
    EXPECT_EQ(r.fitted, 0);
    EXPECT_EQ(r.n_retained, 6);
    EXPECT_EQ(r.normaliser, -99.0f);
    real start[7];
    int retained[6];
    start_parameters(r.means.data(), 6, start, retained);
    for (int k = 0; k <= 6; k++) EXPECT_EQ(r.params[k], start[k]) << k;
}

TEST(NodeFitDeathTest, NegativeMeanPairCountIsFatal) {
    set_outcome_counts(2);
    std::vector<int> stats = stats_of({{1, 0}, {0, 1}, {1, 1}}, 2);
    stats[pair_total_index(2)] = -1;
    EXPECT_EXIT(fit(stats, 2, 3), testing::ExitedWithCode(1), "ey cannot be negative\n\n");
}

// Random nodes with proportions away from 0 and 1, against the model's maximum
// log-likelihood found by a plain double Newton method. The fit's own rule
// G <= 0.001 R is relative to the squared means, so a converged fit can stop
// with a gradient large enough to cost a few per cent of the value;
// fits ending by the step rule or after 31 passes may be further off.
TEST(NodeFit, AgreesWithIndependentMaximumLikelihood) {
    std::mt19937 gen(2024);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    int nodes = 0, stopped_early = 0, loose = 0;
    double worst_converged = 0.0;
    for (int q = 2; q <= 5; q++) {
        for (int rep = 0; rep < 80; rep++) {
            const int n = 60 + static_cast<int>(u(gen) * 400);
            std::vector<double> p(q);
            for (int j = 0; j < q; j++) p[j] = 0.2 + 0.6 * u(gen);
            const double association = 1.2 * u(gen);
            auto cases = random_cases(gen, q, n, p, association);
            set_outcome_counts(q);
            std::vector<int> stats = stats_of(cases, q);
            bool inside = true;
            for (int j = 0; j < q; j++) inside &= stats[j] >= 0.05 * n && stats[j] <= 0.95 * n;
            if (!inside) continue;
            nodes++;
            fit_result r = fit(stats, q, n);
            ASSERT_EQ(r.fitted, 1);
            ASSERT_EQ(r.n_retained, q);
            std::vector<double> ybar(q);
            for (int j = 0; j < q; j++) ybar[j] = static_cast<double>(stats[j]) / n;
            const double best = reference_max_log_likelihood(
                ybar, static_cast<double>(stats[pair_total_index(q)]) / n, n);
            const double rel = (best - r.value) / std::fabs(best);
            // Never above the maximum, and exactly the objective at the parameters returned.
            EXPECT_GT(rel, -1e-5) << q << " " << n;
            EXPECT_NEAR(r.value, value_at_fit(r, q + 1, n), 2e-5 * std::fabs(best));
            if (r.stop_rule != fit_stop_gradient) {
                stopped_early++;
                continue;
            }
            if (rel > 1e-3) loose++;
            worst_converged = std::max(worst_converged, rel);
        }
    }
    EXPECT_GE(nodes, 300);
    // Observed with this seed: none stopped early; 62 of 320 converged fits
    // beyond 1e-3, the worst 3.85e-2. A tight gradient rule on the same
    // iteration reaches the maximum within 1e-6 on all of them.
    EXPECT_LE(stopped_early, 3);
    EXPECT_LE(loose, 70) << "of " << nodes;
    EXPECT_LT(worst_converged, 5e-2);
    std::printf("%d nodes: %d stopped early, %d converged beyond 1e-3, worst %.2e\n", nodes,
                stopped_early, loose, worst_converged);
}

void expect_same(const fit_result& a, const fit_result& b, int trial) {
    EXPECT_EQ(a.value, b.value) << trial;
    EXPECT_EQ(a.params, b.params) << trial;
    EXPECT_EQ(a.means, b.means) << trial;
    EXPECT_EQ(std::memcmp(&a.normaliser, &b.normaliser, sizeof(real)), 0) << trial;
    EXPECT_EQ(a.fitted, b.fitted) << trial;
    EXPECT_EQ(a.n_retained, b.n_retained) << trial;
    EXPECT_EQ(a.passes, b.passes) << trial;
    EXPECT_EQ(a.stop_rule, b.stop_rule) << trial;
}

// Both fits of a quiet pair, side by side, from fresh outputs: the same values
// and outputs as each fit alone where both fits succeed.
void compare_pair(const std::vector<int>& s1, int n1, const std::vector<int>& s2, int n2, int q,
                  int trial) {
    set_outcome_counts(q);
    fit_workspace ws[2];
    fit_result side[2];
    for (int t = 0; t < 2; t++) {
        alloc_fit_workspace(ws[t], q);
        side[t].params.assign(q + 1, -99.0f);
        side[t].means.assign(q + 1, -99.0f);
        side[t].normaliser = -99.0f;
    }
    double values[2];
    ASSERT_TRUE(quiet_pair_log_likelihood(
        {s1.data(), n1, side[0].params.data(), side[0].means.data(), &side[0].normaliser, &ws[0]},
        {s2.data(), n2, side[1].params.data(), side[1].means.data(), &side[1].normaliser, &ws[1]},
        values))
        << trial;
    for (int t = 0; t < 2; t++) {
        side[t].value = values[t];
        side[t].fitted = ws[t].fitted;
        side[t].n_retained = ws[t].n_retained;
        side[t].passes = ws[t].passes;
        side[t].stop_rule = ws[t].stop_rule;
        release_fit_workspace(ws[t]);
    }
    expect_same(side[0], fit(s1, q, n1), trial);
    expect_same(side[1], fit(s2, q, n2), trial);
}

TEST(QuietPairLogLikelihood, SameAsTwoFitsInTurn) {
    std::mt19937 gen(606);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int trial = 0; trial < 240; trial++) {
        const int q = 2 + trial % 4;
        set_outcome_counts(q);
        std::vector<int> stats[2];
        int n[2];
        for (int t = 0; t < 2; t++) {
            n[t] = 20 + static_cast<int>(u(gen) * 150);
            std::vector<double> p(q);
            for (int j = 0; j < q; j++) p[j] = 0.15 + 0.7 * u(gen);
            // Some nodes with an outcome always 0 or always 1 (a smaller
            // decomposition than the other side's), some pure.
            const int kind = (trial / 4 + t) % 6;
            if (kind == 1) p[0] = -1.0;
            if (kind == 2) p[q - 1] = 2.0;
            if (kind == 3)
                for (double& pj : p) pj = -1.0;
            const auto cases = random_cases(gen, q, n[t], p, 0.6 * u(gen));
            stats[t] = stats_of(cases, q);
        }
        compare_pair(stats[0], n[0], stats[1], n[1], q, trial);
    }
}

TEST(QuietPairLogLikelihood, AFailedSideFailsThePairSilently) {
    // Where a fit alone would print (no convergence) or stop the run (a
    // negative mean pair count), the pair fails, prints nothing and goes on;
    // so does a pair with a pure side beside a failing one.
    std::vector<int> negative = unconverged_stats;
    negative[pair_total_index(6)] = -5;
    set_outcome_counts(6);
    std::mt19937 g6(7);
    const std::vector<int> plain =
        stats_of(random_cases(g6, 6, 80, std::vector<double>(6, 0.4), 0.3), 6);
    const std::vector<int> pure =
        stats_of(std::vector<std::vector<int>>(70, {1, 0, 1, 0, 0, 1}), 6);
    const std::vector<std::pair<std::vector<int>, std::vector<int>>> pairs = {
        {unconverged_stats, plain}, {plain, unconverged_stats}, {negative, plain},
        {plain, negative},          {pure, unconverged_stats},  {unconverged_stats, pure}};
    const korva_run run = run_in_child([&] {
        set_outcome_counts(6);
        fit_workspace ws[2];
        alloc_fit_workspace(ws[0], 6);
        alloc_fit_workspace(ws[1], 6);
        real p[2][7], m[2][7], norm[2];
        for (const auto& [first, second] : pairs) {
            double values[2];
            const int n1 = first == plain ? 80 : first == pure ? 70 : 24;
            const int n2 = second == plain ? 80 : second == pure ? 70 : 24;
            const bool ok = quiet_pair_log_likelihood(
                {first.data(), n1, p[0], m[0], &norm[0], &ws[0]},
                {second.data(), n2, p[1], m[1], &norm[1], &ws[1]}, values);
            std::fprintf(stderr, "%d", ok ? 1 : 0);
        }
        std::fflush(stdout);
    });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "000000");
}

} // namespace
