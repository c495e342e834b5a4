// Prunes the fold tree at one alpha: updates left_daughter, in_subtree, the
// branch sums and the held-out cases' nodes for every node whose link value is
// at most alpha + 1e-7.
#include "cv/fold_steps.h"
#include "prune/subtree_sums.h"

void prune_fold_tree(int n_nodes, const real* node_value, real* subtree_cost, int* left_daughter,
                     const int* parent, int* test_node, int c, int* subtree_leaves, double a,
                     int* in_subtree) {
    const double limit = a + 1e-7;
    bool pruned_any = true;
    while (pruned_any) {
        pruned_any = false;
        for (int t = 0; t < n_nodes; t++) {
            if (in_subtree[t] != 1 || subtree_leaves[t] <= 1) continue;
            if (limit >= link_value(t, node_value, subtree_cost, subtree_leaves)) {
                collapse_branch(t, left_daughter, in_subtree, t, test_node, c);
                update_parents(t, parent, node_value, subtree_cost, subtree_leaves);
                left_daughter[t] = 0;
                pruned_any = true;
            }
        }
    }
}
