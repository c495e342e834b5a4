// Split search with helper threads: the same tree, bit for bit, as the search
// on one thread, and the stop a one-thread search would meet first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "numeric/run_counts.h"
#include "support/test_support.h"
#include "tree/grow_tree.h"
#include "tree/search_team.h"
#include "tree_data.h"

namespace {

TEST(SearchTeam, HelpersGrowTheSameTree) {
    for (uint32_t seed : {3u, 11u, 29u}) {
        tree_data d(1500, 3, random_levels(seed, 9));
        make_random_data(d, seed);
        d.prepare();
        grow_tree(d.x_rows.data(), d.y_rows.data(), d.n, &d.n_nodes, d.nodes, d.split, d.fit, 0);
        ASSERT_GT(d.n_nodes, 7) << seed;
        const std::string alone = table_bytes(d);
        // The bests the searches share may change how many candidates are
        // fitted, never what is chosen.
        for (int helpers : {1, 3}) {
            grow_tree(d.x_rows.data(), d.y_rows.data(), d.n, &d.n_nodes, d.nodes, d.split, d.fit,
                      helpers);
            EXPECT_TRUE(table_bytes(d) == alone) << seed << " with " << helpers << " helpers";
        }
    }
}

TEST(SearchTeam, LowestCovariateStopIsTheOneReported) {
    // Nominal covariates 2 and 5 (numbered from 1) hold a category beyond
    // their range; one thread meets covariate 2 first, and so must the team,
    // whichever helper searches covariate 5 first.
    std::vector<int> levels = {1, 3, 1, 1, 4, 1};
    auto grow_with = [&](int helpers) {
        return run_in_child([&] {
            tree_data d(800, 2, levels);
            make_random_data(d, 7);
            d.x[1][400] = 6;
            d.x[4][10] = 9;
            d.prepare();
            grow_tree(d.x_rows.data(), d.y_rows.data(), d.n, &d.n_nodes, d.nodes, d.split, d.fit,
                      helpers);
        });
    };
    korva_run alone = grow_with(0);
    EXPECT_EQ(alone.status, 1);
    EXPECT_NE(alone.err.find("covariate 2 out of range"), std::string::npos) << alone.err;
    for (int helpers : {1, 2, 5}) {
        korva_run team = grow_with(helpers);
        EXPECT_EQ(team.status, alone.status) << helpers;
        EXPECT_EQ(team.out, alone.out) << helpers;
        EXPECT_EQ(team.err, alone.err) << helpers;
    }
}

} // namespace
