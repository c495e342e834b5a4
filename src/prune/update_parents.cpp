// Makes node t terminal in the branch sums (L = 1, S = R) and refreshes the sums
// of every ancestor up to the root.
#include "prune/subtree_sums.h"

#include "numeric/fatal_error.h"

void update_parents(int t, const int* parent, const real* node_value, real* subtree_cost,
                    int* subtree_leaves) {
    subtree_leaves[t] = 1;
    subtree_cost[t] = node_value[t];
    while (t != 0) {
        int p = parent[t];
        // Daughters come in pairs, the left one odd and the right one even, so
        // the sibling is the neighbour on the side the parity names. Looking at
        // the other neighbour instead could pick up the parent entry of a node
        // past the end of this tree (left over from an earlier tree) and mix
        // stale sums into the branch.
        int s = (t % 2 == 1) ? t + 1 : t - 1;
        if (parent[s] != p) fatal_error("error in update_parents");
        subtree_leaves[p] = subtree_leaves[s] + subtree_leaves[t];
        subtree_cost[p] = static_cast<real>(static_cast<double>(subtree_cost[s]) + subtree_cost[t]);
        t = p;
    }
}
