// Fills the branch sums L(t) (terminal nodes) and S(t) (summed node value of
// those terminal nodes) of every node from left_daughter and node_value, and
// gives the link value g(t) of a node from them.
#include "prune/subtree_sums.h"

void subtree_sums(const int* left_daughter, const real* node_value, int n_nodes, real* subtree_cost,
                  int* subtree_leaves) {
    // Daughters carry larger numbers than their parent, so walking downwards
    // finds both daughters' sums ready.
    for (int t = n_nodes - 1; t >= 0; t--) {
        int d = left_daughter[t];
        if (d != 0) {
            subtree_leaves[t] = subtree_leaves[d] + subtree_leaves[d + 1];
            subtree_cost[t] =
                static_cast<real>(static_cast<double>(subtree_cost[d]) + subtree_cost[d + 1]);
        } else {
            subtree_leaves[t] = 1;
            subtree_cost[t] = node_value[t];
        }
    }
}

double link_value(int t, const real* node_value, const real* subtree_cost,
                  const int* subtree_leaves) {
    return (static_cast<double>(node_value[t]) - static_cast<double>(subtree_cost[t])) /
           static_cast<double>(subtree_leaves[t] - 1);
}
