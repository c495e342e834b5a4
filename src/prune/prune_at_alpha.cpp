// Fills the list of nodes pruned at one alpha of the main sequence and updates
// left_daughter, in_subtree and the branch sums of the node table accordingly.
#include "prune/prune_at_alpha.h"

#include "numeric/arrays.h"
#include "prune/subtree_sums.h"

int* prune_at_alpha(double a, int n_nodes, node_table& nodes, real* subtree_cost,
                    int* subtree_leaves, int* more_than_root) {
    const double limit = a * 1.0000001;
    int* list = ivector(n_nodes > 0 ? n_nodes : 1);
    int n_pruned = 0;
    int counted = 0;
    bool pruned_any = true;
    while (pruned_any) {
        pruned_any = false;
        counted = 0;
        for (int t = 0; t < n_nodes; t++) {
            if (nodes.in_subtree[t] == 0) continue;
            counted++;
            if (nodes.left_daughter[t] == 0 || subtree_leaves[t] <= 1) continue;
            if (limit >= link_value(t, nodes.node_value, subtree_cost, subtree_leaves)) {
                list[n_pruned++] = t;
                remove_descendants(t, nodes.left_daughter, nodes.in_subtree);
                update_parents(t, nodes.parent, nodes.node_value, subtree_cost, subtree_leaves);
                nodes.left_daughter[t] = 0;
                pruned_any = true;
            }
        }
    }
    int* result = ivector(n_pruned + 1);
    result[0] = n_pruned;
    for (int k = 0; k < n_pruned; k++) result[k + 1] = list[k];
    release_vector(list);
    *more_than_root = counted > 1 ? 1 : 0;
    return result;
}
