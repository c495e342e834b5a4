// Pruning sequences of small hand-built trees: alpha, the pruned lists, the
// report block appended to "infor", the branch sums and the stops.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "numeric/run_counts.h"
#include "prune/next_alpha.h"
#include "prune/prune_at_alpha.h"
#include "prune/prune_sequence.h"
#include "prune/subtree_sums.h"
#include "support/test_support.h"

namespace {

// A node table backed by vectors: node_value, left daughter and parent per node.
struct small_tree {
    std::vector<real> value, split;
    std::vector<int> left, par, cases, covariate, flag;
    node_table nodes;
    int n;
    small_tree(std::vector<real> r, std::vector<int> ld, std::vector<int> p)
        : value(r), split(20, 0), left(ld), par(p), cases(20, 0), covariate(20, 0), flag(20, -7),
          n(static_cast<int>(r.size())) {
        value.resize(20, 0);
        left.resize(20, 0);
        par.resize(20, -1);
        nodes.node_value = value.data();
        nodes.split_value = split.data();
        nodes.split_covariate = covariate.data();
        nodes.parent = par.data();
        nodes.node_cases = cases.data();
        nodes.left_daughter = left.data();
        nodes.in_subtree = flag.data();
    }
};

struct pruning_result {
    std::string out;
    int** lists;
};

pruning_result run_pruning(small_tree& tree) {
    scoped_temp_cwd cwd;
    testing::internal::CaptureStdout();
    int** lists = prune_sequence(tree.nodes, tree.n);
    std::string out = testing::internal::GetCapturedStdout();
    return {out, lists};
}

std::vector<int> list_of(int* v) {
    return std::vector<int>(v + 1, v + 1 + v[0]);
}

// Root 100 split into 1 (40, terminal) and 2 (50), node 2 into 3 (20) and 4 (25).
small_tree five_nodes() {
    return small_tree({100, 40, 50, 20, 25}, {1, 0, 3, 0, 0}, {-1, 0, 0, 2, 2});
}

} // namespace

TEST(PruneSequence, FiveNodeTreeGivesThreeSubtrees) {
    small_tree tree = five_nodes();
    pruning_result r = run_pruning(tree);
    EXPECT_EQ(r.out, "pruning ...\ndone\n");
    ASSERT_EQ(n_subtrees, 3);
    EXPECT_EQ(alpha[0], 0.0f);
    EXPECT_EQ(alpha[1], 5.0f);
    EXPECT_EQ(alpha[2], 10.0f);
    EXPECT_TRUE(list_of(r.lists[0]).empty());
    EXPECT_EQ(list_of(r.lists[1]), std::vector<int>({2}));
    EXPECT_EQ(list_of(r.lists[2]), std::vector<int>({0}));
    // The table is left describing the last subtree, the root alone.
    EXPECT_EQ(tree.left[0], 0);
    EXPECT_EQ(tree.left[2], 0);
    EXPECT_EQ(tree.flag[0], 1);
    for (int t = 1; t < 5; t++) EXPECT_EQ(tree.flag[t], 0) << t;
}

// The block appended to the report (after what the run wrote before it) and
// the number of subtrees, tree by tree.
TEST(PruneSequence, ReportBlocks) {
    const real near = std::nextafter(5.0f, 6.0f);
    ASSERT_LE(static_cast<double>(near), 5.0 * 1.0000001);
    struct sequence {
        const char* what;
        small_tree tree;
        std::string block;
    };
    sequence cases[] = {
        {"five nodes", five_nodes(), "\n1th 0.000000: \n2th 5.000000: 2 \n3th 10.000000: 0 \n"},
        {"one node", small_tree({12.5f}, {0}, {-1}), "\n1th 0.000000: \n"},
        // No gain: the only split goes at alpha 0.
        {"flat", small_tree({100, 60, 40}, {1, 0, 0}, {-1, 0, 0}), "\n1th 0.000000: 0 \n"},
        // A lower split that loses (g(2) = -1) goes at alpha 0; the root's own
        // split then gives the next alpha.
        {"losing lower split", small_tree({100, 30, 50, 30, 21}, {1, 0, 3, 0, 0}, {-1, 0, 0, 2, 2}),
         "\n1th 0.000000: 2 \n2th 20.000000: 0 \n"},
        // g(1) = g(2) = 5, both below g(0): one line in node order.
        {"tied siblings",
         small_tree({100, 50, 40, 20, 25, 15, 20}, {1, 3, 5, 0, 0, 0, 0}, {-1, 0, 0, 1, 1, 2, 2}),
         "\n1th 0.000000: \n2th 5.000000: 1 2 \n3th 10.000000: 0 \n"},
        // g(2) = g(4) = 5 with 4 below 2: only the upper node is listed.
        {"tied nested",
         small_tree({110, 40, 55, 20, 30, 12, 13}, {1, 0, 3, 0, 5, 0, 0}, {-1, 0, 0, 2, 2, 4, 4}),
         "\n1th 0.000000: \n2th 5.000000: 2 \n3th 15.000000: 0 \n"},
        // g(1) the next real above g(2) = 5: within 5 * 1.0000001 of the new
        // alpha, so both go in the same step.
        {"nearly tied",
         small_tree({200, near, 5, 0, 0, 0, 0}, {1, 3, 5, 0, 0, 0, 0}, {-1, 0, 0, 1, 1, 2, 2}),
         "\n1th 0.000000: \n2th 5.000000: 1 2 \n3th 190.000000: 0 \n"},
    };
    for (sequence& c : cases) {
        scoped_temp_cwd cwd;
        write_file("infor", "table\n");
        testing::internal::CaptureStdout();
        prune_sequence(c.tree.nodes, c.tree.n);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(read_file("infor"), "table\n" + c.block) << c.what;
        EXPECT_EQ(n_subtrees, std::count(c.block.begin(), c.block.end(), '\n') - 1) << c.what;
    }
}

TEST(PruneSequence, ReportThatCannotBeOpenedOrWrittenIsAnError) {
    EXPECT_EXIT(
        {
            scoped_temp_cwd cwd;
            mkdir("infor", 0755);
            small_tree tree = five_nodes();
            prune_sequence(tree.nodes, tree.n);
        },
        testing::ExitedWithCode(1), "error: .*infor");
    EXPECT_EXIT(
        {
            scoped_temp_cwd cwd;
            if (symlink("/dev/full", "infor") != 0) std::exit(3);
            small_tree tree = five_nodes();
            prune_sequence(tree.nodes, tree.n);
        },
        testing::ExitedWithCode(1), "error: .*infor");
}

TEST(PruneSequence, AlphaThatDoesNotIncreaseStops) {
    // A value that is not a number gives a link value that no comparison accepts.
    EXPECT_EXIT(
        {
            scoped_temp_cwd cwd;
            small_tree tree({std::nanf(""), 40, 50}, {1, 0, 0}, {-1, 0, 0});
            prune_sequence(tree.nodes, tree.n);
        },
        testing::ExitedWithCode(255), "");
}

TEST(PruneAtAlpha, FlagSaysWhetherMoreThanTheRootRemains) {
    small_tree tree = five_nodes();
    std::vector<real> cost(5);
    std::vector<int> leaves(5);
    for (int t = 0; t < 5; t++) tree.flag[t] = 1;
    subtree_sums(tree.nodes.left_daughter, tree.nodes.node_value, 5, cost.data(), leaves.data());
    EXPECT_EQ(leaves[0], 3);
    EXPECT_FLOAT_EQ(cost[0], 85.0f);
    EXPECT_DOUBLE_EQ(link_value(0, tree.nodes.node_value, cost.data(), leaves.data()), 7.5);
    EXPECT_DOUBLE_EQ(
        next_alpha(5, tree.nodes.node_value, cost.data(), leaves.data(), tree.flag.data()), 5.0);

    int flag = -1;
    int* first = prune_at_alpha(5.0, 5, tree.nodes, cost.data(), leaves.data(), &flag);
    EXPECT_EQ(list_of(first), std::vector<int>({2}));
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(leaves[0], 2);
    EXPECT_FLOAT_EQ(cost[0], 90.0f);
    int* second = prune_at_alpha(10.0, 5, tree.nodes, cost.data(), leaves.data(), &flag);
    EXPECT_EQ(list_of(second), std::vector<int>({0}));
    EXPECT_EQ(flag, 0);
    EXPECT_EXIT(next_alpha(5, tree.nodes.node_value, cost.data(), leaves.data(), tree.flag.data()),
                testing::ExitedWithCode(255), "");
}

TEST(UpdateParents, MissingSiblingIsFatal) {
    std::vector<real> value = {100, 40, 50, 20, 25};
    std::vector<int> parent = {-1, 0, 3, 2, 2}; // node 2 names the wrong parent
    std::vector<real> cost(5, 0);
    std::vector<int> leaves(5, 1);
    EXPECT_EXIT(update_parents(1, parent.data(), value.data(), cost.data(), leaves.data()),
                testing::ExitedWithCode(1), "error in update_parents");
}
