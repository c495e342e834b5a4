// Growing driver: the size, depth, variation and room tests, daughter
// numbering, strict improvement, the final negation, and invariants of trees
// grown on random data sets.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/node_stats.h"
#include "numeric/run_counts.h"
#include "tree/grow_state.h"
#include "tree/grow_tree.h"
#include "tree_data.h"

namespace {

TEST(GrowTree, SixtyCasesGiveOneNode) {
    tree_data d(60, 2, {1, 3});
    for (int i = 0; i < d.n; i++) {
        d.x[0][i] = static_cast<real>(i);
        d.x[1][i] = static_cast<real>(i % 3);
        d.set_y(i, 0, i % 2);
        d.set_y(i, 1, i % 3 == 0 ? 1 : 0);
    }
    d.prepare();
    d.nodes.split_covariate[0] = 5;
    d.nodes.split_value[0] = 5;
    d.nodes.left_daughter[0] = 5;
    grow_tree(d.x_rows.data(), d.y_rows.data(), d.n, &d.n_nodes, d.nodes, d.split, d.fit);
    EXPECT_EQ(d.n_nodes, 1);
    EXPECT_EQ(d.nodes.left_daughter[0], 0);
    EXPECT_EQ(d.nodes.split_covariate[0], 0);
    EXPECT_EQ(d.nodes.split_value[0], 0.0f);
    EXPECT_EQ(d.nodes.node_cases[0], 60);
    EXPECT_GT(d.nodes.node_value[0], 0.0f); // negated log-likelihood
    EXPECT_EQ(n_patterns, 4);
}

TEST(GrowTree, PureOrConstantNodesStayTerminal) {
    // Every outcome constant: the value 0 is negated to -0.
    tree_data pure(400, 2, {1});
    for (int i = 0; i < pure.n; i++) {
        pure.x[0][i] = static_cast<real>(i);
        pure.set_y(i, 0, 1);
    }
    pure.grow();
    EXPECT_EQ(pure.n_nodes, 1);
    EXPECT_EQ(pure.nodes.node_value[0], 0.0f);
    EXPECT_TRUE(std::signbit(pure.nodes.node_value[0]));

    // Every covariate constant, including one that is never searched.
    tree_data flat(400, 1, {1, 3, 0});
    for (int i = 0; i < flat.n; i++) {
        flat.x[0][i] = 2.5f;
        flat.x[1][i] = 1;
        flat.x[2][i] = 7;
        flat.set_y(i, 0, i % 2);
    }
    flat.grow();
    EXPECT_EQ(flat.n_nodes, 1);

    // A node whose only varying covariate has level code 0 passes the
    // variation test but has nothing to search.
    flat.x[2][5] = 8;
    flat.grow();
    EXPECT_EQ(flat.n_nodes, 1);
}

TEST(GrowTree, DaughtersNumberedInExaminationOrder) {
    // Cases 0..149 negative, 150..249 positive, 250..319 negative: the root
    // peels off the first block; only node 2 splits again, into 3 and 4.
    tree_data d(320, 1, {1});
    for (int i = 0; i < d.n; i++) {
        d.x[0][i] = static_cast<real>(i);
        d.set_y(i, 0, i >= 150 && i < 250 ? 1 : 0);
    }
    d.grow();
    ASSERT_EQ(d.n_nodes, 5);
    EXPECT_EQ(d.nodes.left_daughter[0], 1);
    EXPECT_EQ(d.nodes.left_daughter[1], 0);
    EXPECT_EQ(d.nodes.left_daughter[2], 3);
    EXPECT_EQ(d.nodes.parent[3], 2);
    EXPECT_EQ(d.nodes.parent[4], 2);
    EXPECT_EQ(d.nodes.node_cases[3], 100);
    EXPECT_EQ(d.nodes.node_cases[4], 70);
    EXPECT_EQ(d.nodes.split_value[2], 249.0f);
}

// Alternating blocks of 61 positive and 61 negative cases along x: every split
// peels one pure block off an end, so the tree is a chain as deep as allowed.
TEST(GrowTree, DepthTwentyOneIsTerminal) {
    int blocks = 26;
    tree_data d(61 * blocks, 1, {1});
    for (int i = 0; i < d.n; i++) {
        d.x[0][i] = static_cast<real>(i);
        d.set_y(i, 0, (i / 61) % 2);
    }
    d.grow();
    int deepest = 0;
    bool big_node_at_21 = false;
    for (int t = 0; t < d.n_nodes; t++) {
        int depth = node_depth(d.nodes, t);
        deepest = std::max(deepest, depth);
        if (depth == 21) {
            EXPECT_EQ(d.nodes.left_daughter[t], 0) << "node " << t;
            if (d.nodes.node_cases[t] >= 122) big_node_at_21 = true;
        }
    }
    EXPECT_EQ(deepest, 21);
    EXPECT_TRUE(big_node_at_21);
}

TEST(GrowTree, RoomForTwoMoreNodes) {
    tree_data d(3000, 2, random_levels(7, 6));
    make_random_data(d, 7);
    d.prepare(200);
    // With room for 200 entries the data split into more than 9 nodes ...
    grow_tree(d.x_rows.data(), d.y_rows.data(), d.n, &d.n_nodes, d.nodes, d.split, d.fit);
    int unlimited = d.n_nodes;
    ASSERT_GT(unlimited, 9);
    ASSERT_LE(unlimited, 199);
    std::vector<int> cases(d.nodes.node_cases, d.nodes.node_cases + 9);

    // ... but a table of 10 holds 9: the first 4 splits, the same as before,
    // then every waiting node becomes terminal; entry 9 is never used.
    d.prepare(10);
    d.nodes.node_value[9] = 12345.0f;
    d.nodes.node_cases[9] = -7;
    grow_tree(d.x_rows.data(), d.y_rows.data(), d.n, &d.n_nodes, d.nodes, d.split, d.fit);
    EXPECT_EQ(d.n_nodes, 9);
    for (int t = 0; t < 9; t++) EXPECT_EQ(d.nodes.node_cases[t], cases[static_cast<size_t>(t)]);
    for (int t = 5; t < 9; t++) EXPECT_EQ(d.nodes.left_daughter[t], 0);
    EXPECT_EQ(d.nodes.node_value[9], 12345.0f);
    EXPECT_EQ(d.nodes.node_cases[9], -7);
}

TEST(GrowTree, SplitMustBeatTheNodeStrictly) {
    tree_data d(300, 1, {1});
    for (int i = 0; i < d.n; i++) {
        d.x[0][i] = static_cast<real>(i);
        d.set_y(i, 0, i < 120 ? (i % 4 != 0) : (i % 5 == 0));
    }
    d.prepare();
    // Find the root's best value, then hold the node to exactly that value.
    grow_state g;
    start_growth(g, d.x_rows.data(), d.y_rows.data(), d.n, d.nodes, d.split, d.fit);
    real own = d.nodes.node_value[0];
    real best = find_best_split(g, 0);
    ASSERT_GT(best, own);
    d.nodes.node_value[0] = best;
    try_split_node(g, 0);
    EXPECT_EQ(g.n_nodes, 1);
    EXPECT_EQ(d.nodes.left_daughter[0], 0);
    // Just below it, the same split is made.
    d.nodes.node_value[0] = std::nextafter(best, -INFINITY);
    try_split_node(g, 0);
    EXPECT_EQ(g.n_nodes, 3);
    EXPECT_EQ(d.nodes.left_daughter[0], 1);
    finish_growth(g);
}

// Sends every case down the recorded splits and checks that the routed cases of
// each node reproduce its case count and statistics row.
void check_routing(const tree_data& d) {
    const node_table& nodes = d.nodes;
    std::vector<std::vector<int>> members(static_cast<size_t>(d.n_nodes));
    for (int i = 0; i < d.n; i++) {
        int t = 0;
        members[0].push_back(i);
        while (nodes.left_daughter[t] > 0) {
            int c = nodes.split_covariate[t];
            real v = d.x[static_cast<size_t>(c)][static_cast<size_t>(i)];
            bool left = d.levels[static_cast<size_t>(c)] == 1
                            ? v <= nodes.split_value[t]
                            : category_goes_left(nodes.split_value[t], v);
            t = nodes.left_daughter[t] + (left ? 0 : 1);
            members[static_cast<size_t>(t)].push_back(i);
        }
    }
    std::vector<int> stats(static_cast<size_t>(stat_len));
    for (int t = 0; t < d.n_nodes; t++) {
        const auto& cases = members[static_cast<size_t>(t)];
        ASSERT_EQ(static_cast<int>(cases.size()), nodes.node_cases[t]) << "node " << t;
        std::vector<std::vector<int>> cols(static_cast<size_t>(d.q) + 1);
        std::vector<int*> rows;
        for (int k = 0; k <= d.q; k++) {
            for (int i : cases) cols[static_cast<size_t>(k)].push_back(d.y[k][i]);
            rows.push_back(cols[static_cast<size_t>(k)].data());
        }
        find_covmat(rows.data(), 0, static_cast<int>(cases.size()), stats.data());
        for (int e = 0; e < stat_len; e++) {
            ASSERT_EQ(nodes.node_stats_table[t][e], stats[static_cast<size_t>(e)])
                << "node " << t << " entry " << e;
        }
    }
}

void check_structure(const tree_data& d) {
    const node_table& nodes = d.nodes;
    ASSERT_EQ(d.n_nodes % 2, 1);
    std::vector<int> seen(static_cast<size_t>(d.n_nodes), 0);
    for (int t = 0; t < d.n_nodes; t++) {
        int left = nodes.left_daughter[t];
        if (left == 0) {
            EXPECT_EQ(nodes.split_covariate[t], 0) << "node " << t;
            EXPECT_EQ(nodes.split_value[t], 0.0f) << "node " << t;
            continue;
        }
        ASSERT_EQ(left % 2, 1);
        ASSERT_LT(left + 1, d.n_nodes);
        EXPECT_GT(left, t);
        EXPECT_EQ(nodes.parent[left], t);
        EXPECT_EQ(nodes.parent[left + 1], t);
        seen[static_cast<size_t>(left)]++;
        seen[static_cast<size_t>(left) + 1]++;
        EXPECT_GE(nodes.node_cases[left], 61);
        EXPECT_GE(nodes.node_cases[left + 1], 61);
        EXPECT_LE(node_depth(nodes, t), 20);
        // Values are negated log-likelihoods: the daughters' log-likelihoods
        // sum strictly above the parent's.
        double daughters = -static_cast<double>(nodes.node_value[left]) -
                           static_cast<double>(nodes.node_value[left + 1]);
        EXPECT_GT(daughters, -static_cast<double>(nodes.node_value[t])) << "node " << t;
        int c = nodes.split_covariate[t];
        int k = d.levels[static_cast<size_t>(c)];
        ASSERT_GE(k, 1);
        if (k >= 2) {
            int mask = static_cast<int>(nodes.split_value[t]);
            EXPECT_EQ(mask >> (k - 1), 0) << "last category must go right";
        }
    }
    for (int t = 1; t < d.n_nodes; t++) EXPECT_EQ(seen[static_cast<size_t>(t)], 1);
    for (int t = 0; t < d.n_nodes; t++) EXPECT_GE(nodes.node_value[t], 0.0f);
}

TEST(GrowTreeInvariants, RandomDataSets) {
    int sizes[] = {400, 900, 2500};
    int outcomes[] = {1, 2, 3, 4};
    for (uint32_t seed = 1; seed <= 6; seed++) {
        int n = sizes[seed % 3];
        int q = outcomes[seed % 4];
        tree_data d(n, q, random_levels(seed, 5 + static_cast<int>(seed % 4)));
        make_random_data(d, seed);
        d.grow();
        SCOPED_TRACE(testing::Message() << "seed " << seed << " n " << n << " q " << q);
        EXPECT_GT(d.n_nodes, 1);
        check_structure(d);
        check_routing(d);
    }
}

TEST(GrowTreeInvariants, RepeatedGrowthIsIdentical) {
    // No state survives a call: growing A, then B, then A again gives A's table.
    tree_data a(800, 3, random_levels(11, 7));
    make_random_data(a, 11);
    a.grow();
    std::vector<real> values(a.nodes.node_value, a.nodes.node_value + a.n_nodes);
    std::vector<real> cuts(a.nodes.split_value, a.nodes.split_value + a.n_nodes);
    int first = a.n_nodes;

    tree_data b(1200, 2, random_levels(12, 5));
    make_random_data(b, 12);
    b.grow();

    a.grow();
    ASSERT_EQ(a.n_nodes, first);
    for (int t = 0; t < first; t++) {
        EXPECT_EQ(a.nodes.node_value[t], values[static_cast<size_t>(t)]);
        EXPECT_EQ(a.nodes.split_value[t], cuts[static_cast<size_t>(t)]);
    }
}

} // namespace
