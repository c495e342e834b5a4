// fit_root: clears the split fields of the whole table, then fills row 0 of the
// statistics table from all cases and node_value[0] with the root's fit.
#include "model/node_fit.h"
#include "model/node_stats.h"
#include "numeric/run_counts.h"
#include "tree/grow_state.h"

void fit_root(grow_state& g) {
    node_table& nodes = *g.nodes;
    for (int t = 0; t < max_nodes; t++) {
        nodes.left_daughter[t] = 0;
        nodes.split_covariate[t] = 0;
        nodes.split_value[t] = 0;
    }
    find_covmat(g.outcomes, 0, g.n, nodes.node_stats_table[0]);
    g.n_fits++;
    nodes.node_value[0] =
        static_cast<real>(node_log_likelihood(nodes.node_stats_table[0], g.n, g.own.fit_params,
                                              g.own.fit_means, &g.own.normaliser, *g.own.fit));
}
