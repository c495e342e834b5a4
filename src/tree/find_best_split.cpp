// find_best_split: searches every covariate of node t and, for the covariate
// whose best split beats the node's value and every earlier covariate, writes
// the split fields of t and the daughters' values and statistics rows (at the
// two numbers the daughters will receive) into the node table.
#include "numeric/run_counts.h"
#include "tree/grow_state.h"

real find_best_split(grow_state& g, int t) {
    node_table& nodes = *g.nodes;
    split_workspace& split = *g.split;
    real own = nodes.node_value[t];
    real best = own;
    int L = g.n_nodes;
    int R = g.n_nodes + 1;
    for (int c = 0; c < n_covariates; c++) {
        int k = cov_levels[c];
        if (k <= 0) continue;
        real left_value = 0;
        real right_value = 0;
        real split_value = 0;
        // Every search is held against the node's own value, not the best so far.
        real v =
            k == 1 ? search_ordered_split(g, t, c, own, &left_value, &right_value, &split_value)
                   : search_nominal_split(g, t, c, k, own, &left_value, &right_value, &split_value);
        if (v > best) {
            best = v;
            nodes.split_covariate[t] = c;
            nodes.split_value[t] = split_value;
            for (int e = 0; e < stat_len; e++) {
                nodes.node_stats_table[L][e] = split.best_left_stats[e];
                nodes.node_stats_table[R][e] = split.best_right_stats[e];
            }
            nodes.node_value[L] = left_value;
            nodes.node_value[R] = right_value;
        }
    }
    return best;
}
