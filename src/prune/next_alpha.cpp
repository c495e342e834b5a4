// Gives the next alpha of the main sequence from the branch sums and in_subtree:
// the root's link value (at least 0) or the smallest smaller link value of an
// internal node of the current subtree.
#include "prune/next_alpha.h"

#include "numeric/fatal_error.h"
#include "prune/subtree_sums.h"

double next_alpha(int n_nodes, const real* node_value, const real* subtree_cost,
                  const int* subtree_leaves, const int* in_subtree) {
    if (subtree_leaves[0] <= 1) silent_exit();
    // The root is always a candidate; its term is kept unrounded.
    double r = link_value(0, node_value, subtree_cost, subtree_leaves);
    if (r < 0) r = 0;
    for (int t = 1; t < n_nodes; t++) {
        if (subtree_leaves[t] <= 1 || in_subtree[t] != 1) continue;
        double g = link_value(t, node_value, subtree_cost, subtree_leaves);
        if (g < r) r = static_cast<real>(g);
    }
    return r;
}
