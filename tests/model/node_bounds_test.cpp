// Bounds on a node's value without a fit, against the model's exact maximum
// log-likelihood found by brute force on small random nodes.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "model/fit_workspace.h"
#include "model/node_bounds.h"
#include "model/node_fit.h"
#include "model_cases.h"
#include "numeric/run_counts.h"

namespace {

struct small_node {
    int n;
    std::vector<int> stats, counts;
    double exact; // the largest node value of the model, in double
};

small_node random_node(std::mt19937& gen, int q) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (;;) {
        const int n = 61 + static_cast<int>(u(gen) * 200);
        std::vector<double> p(q);
        for (double& pj : p) pj = 0.1 + 0.8 * u(gen);
        const auto cases = random_cases(gen, q, n, p, 0.8 * u(gen) - 0.2);
        small_node node{n, stats_of(cases, q), std::vector<int>(1u << q, 0), 0.0};
        bool every_outcome_varies = true;
        std::vector<double> ybar(q);
        for (int j = 0; j < q; j++) {
            every_outcome_varies &= node.stats[j] > 0 && node.stats[j] < n;
            ybar[j] = static_cast<double>(node.stats[j]) / n;
        }
        if (!every_outcome_varies) continue;
        for (const auto& c : cases) {
            int pattern = 0;
            for (int j = 0; j < q; j++) pattern |= c[j] << j;
            node.counts[pattern]++;
        }
        const double tbar = static_cast<double>(node.stats[pair_total_index(q)]) / n;
        node.exact = reference_max_log_likelihood(ybar, tbar, n);
        return node;
    }
}

TEST(NodeBounds, NeitherBoundFallsBelowTheExactMaximum) {
    std::mt19937 gen(1515);
    int tilted_used = 0, far_finite = 0;
    for (int trial = 0; trial < 150; trial++) {
        const int q = 2 + trial % 4;
        set_outcome_counts(q);
        fit_workspace ws;
        alloc_fit_workspace(ws, q);
        std::vector<double> count_log(300);
        fill_count_log_table(count_log.data(), 299);
        const small_node node = random_node(gen, q);
        const small_node other = random_node(gen, q);
        SCOPED_TRACE(testing::Message() << "trial " << trial << " q " << q << " n " << node.n);
        const double slack = 1e-9 * node.n;

        const double pattern =
            pattern_frequency_bound(node.counts.data(), 1 << q, node.n, count_log.data());
        EXPECT_LE(node.exact, pattern + slack);

        // Tilted from the node's own fit (close to the maximum) and from
        // another node's (far off: the tilt may need mixing with the
        // frequencies, or give no bound at all).
        std::vector<real> params(q + 1), means(q + 1);
        real normaliser;
        const double fitted = node_log_likelihood(node.stats.data(), node.n, params.data(),
                                                  means.data(), &normaliser, ws);
        EXPECT_LE(fitted, node.exact + 1e-5 * node.n);
        tilt_reference ref;
        alloc_tilt_reference(ref, q);
        set_tilt_reference(ref, params.data());
        EXPECT_EQ(ref.valid, q >= 3 ? 1 : 0);
        const double near =
            tilted_bound(ref, node.stats.data(), node.n, node.counts.data(), nullptr);
        if (q >= 3) {
            tilted_used++;
            EXPECT_LE(node.exact, near + slack);
            EXPECT_LE(near, pattern + slack);
            EXPECT_LT(near - node.exact, 0.02 * (pattern - node.exact) + 1e-4 * node.n);
        } else {
            EXPECT_EQ(near, INFINITY);
        }
        node_log_likelihood(other.stats.data(), other.n, params.data(), means.data(), &normaliser,
                            ws);
        set_tilt_reference(ref, params.data());
        const double far =
            tilted_bound(ref, node.stats.data(), node.n, node.counts.data(), nullptr);
        if (std::isfinite(far)) {
            EXPECT_LE(node.exact, far + slack);
            far_finite++;
        }
        release_tilt_reference(ref);
        release_fit_workspace(ws);
    }
    EXPECT_EQ(tilted_used, 112);
    // Both ways out of a far reference were taken: a bound, and none.
    EXPECT_GT(far_finite, 20);
    EXPECT_LT(far_finite, tilted_used - 20);
}

} // namespace
