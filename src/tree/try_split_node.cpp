// try_split_node: decides node t's fate: split on the best split the search
// finds when the table has room for two more nodes, the node passes the
// splittability tests and the split beats the node's own value; otherwise the
// node is made terminal.
#include "numeric/run_counts.h"
#include "tree/grow_state.h"

void try_split_node(grow_state& g, int t) {
    if (g.n_nodes < max_nodes - 1 && is_splittable(g, t)) {
        real best = find_best_split(g, t);
        if (best > g.nodes->node_value[t]) {
            apply_split(g, t);
            return;
        }
    }
    g.nodes->left_daughter[t] = 0;
}
