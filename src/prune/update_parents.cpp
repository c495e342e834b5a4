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
        int s;
        if (parent[t + 1] == p)
            s = t + 1;
        else if (parent[t - 1] == p)
            s = t - 1;
        else
            fatal_error("error in update_parents");
        subtree_leaves[p] = subtree_leaves[s] + subtree_leaves[t];
        subtree_cost[p] = static_cast<real>(static_cast<double>(subtree_cost[s]) + subtree_cost[t]);
        t = p;
    }
}
