// Candidates ruled out by the bounds: the same tree as with every candidate
// fitted, on one thread and with helpers, with two covariates that tie
// exactly; and the checking mode, which passes on the bounds as they are and
// stops on a bound made too tight.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/node_model.h"
#include "numeric/run_counts.h"
#include "tree/grow_tree.h"
#include "tree/split_bounds.h"
#include "tree_data.h"

namespace {

std::string grown(tree_data& d, int helpers) {
    grow_tree(d.x_rows.data(), d.y_rows.data(), d.n, &d.n_nodes, d.nodes, d.split, d.fit, helpers);
    return table_bytes(d);
}

TEST(SplitBounds, SameTreeAsFittingEveryCandidate) {
    const long by_pattern = split_ruled_by_pattern_count;
    const long by_tilt = split_ruled_by_tilt_count;
    for (uint32_t seed : {5u, 17u, 23u}) {
        std::vector<int> levels = random_levels(seed, 8);
        levels[1] = levels[0];
        tree_data d(1500, 3 + static_cast<int>(seed % 3), levels);
        make_random_data(d, seed);
        d.x[1] = d.x[0]; // every candidate of covariate 1 ties with one of 0
        d.prepare();
        bound_tightening = -1e30; // no bound rules anything out
        const std::string every = grown(d, 0);
        bound_tightening = 0.0;
        ASSERT_GT(d.n_nodes, 7) << seed;
        EXPECT_TRUE(grown(d, 0) == every) << seed;
        EXPECT_TRUE(grown(d, 2) == every) << seed << " with helpers";
        check_split_bounds = true;
        EXPECT_TRUE(grown(d, 0) == every) << seed << " checked";
        check_split_bounds = false;
        tilted_split_bounds = false; // as for a node model the tilt does not fit
        EXPECT_TRUE(grown(d, 0) == every) << seed << " without the tilted bound";
        tilted_split_bounds = true;
    }
    EXPECT_GT(split_ruled_by_pattern_count - by_pattern, 0);
    EXPECT_GT(split_ruled_by_tilt_count - by_tilt, 0);
}

// Under the pairwise node model only the pattern-frequency bound applies (its
// fit matches every pair's mean, so the tilt does not bound it): the same tree
// as with every candidate fitted, the checking mode passes, no tilt is tried.
TEST(SplitBounds, PairwiseModelUsesThePatternBoundAlone) {
    const long by_pattern = split_ruled_by_pattern_count;
    const long by_tilt = split_ruled_by_tilt_count;
    for (uint32_t seed : {3u, 11u}) {
        node_model = node_model_pairwise;
        {
            tree_data d(900, 4, random_levels(seed, 5));
            make_random_data(d, seed);
            d.prepare();
            EXPECT_FALSE(tilted_bound_applies());
            bound_tightening = -1e30;
            const std::string every = grown(d, 0);
            bound_tightening = 0.0;
            ASSERT_GT(d.n_nodes, 5) << seed;
            EXPECT_TRUE(grown(d, 2) == every) << seed;
            check_split_bounds = true;
            EXPECT_TRUE(grown(d, 0) == every) << seed << " checked";
            check_split_bounds = false;
        }
        node_model = node_model_common;
    }
    EXPECT_GT(split_ruled_by_pattern_count - by_pattern, 0);
    EXPECT_EQ(split_ruled_by_tilt_count - by_tilt, 0);
}

TEST(SplitBoundsDeathTest, CheckingModeStopsOnABoundTooTight) {
    tree_data d(800, 3, {1, 1, 3});
    make_random_data(d, 9);
    d.prepare();
    EXPECT_DEATH(
        {
            check_split_bounds = true;
            bound_tightening = 1e-3;
            grown(d, 0);
        },
        "bound check: the (left|right) side of [0-9]+ cases was fitted at");
}

} // namespace
