// find_best_split: searches every covariate of node t and, for the covariate
// whose best split beats the node's value and every earlier covariate, writes
// the split fields of t and the daughters' values and statistics rows (at the
// two numbers the daughters will receive) into the node table. With a search
// team the covariates are searched side by side and their results are then
// taken in covariate order, exactly as the one-thread walk takes them.
#include "numeric/console.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"
#include "tree/grow_state.h"
#include "tree/search_team.h"

namespace {

void write_winner(grow_state& g, int t, int c, real split_value, const int* left_stats,
                  const int* right_stats, real left_value, real right_value) {
    node_table& nodes = *g.nodes;
    const int L = g.n_nodes;
    const int R = g.n_nodes + 1;
    nodes.split_covariate[t] = c;
    nodes.split_value[t] = split_value;
    for (int e = 0; e < stat_len; e++) {
        nodes.node_stats_table[L][e] = left_stats[e];
        nodes.node_stats_table[R][e] = right_stats[e];
    }
    nodes.node_value[L] = left_value;
    nodes.node_value[R] = right_value;
}

real best_split_by_team(grow_state& g, int t, real own) {
    covariate_result* results = team_search_node(g, t, own);
    real best = own;
    for (int c = 0; c < n_covariates; c++) {
        if (cov_levels[c] <= 0) continue;
        const covariate_result& r = results[c];
        g.n_fits += r.n_fits;
        console_write(r.console);
        if (r.stopped) end_run(r.stop.err_text, r.stop.status);
        if (r.value > best) {
            best = r.value;
            write_winner(g, t, c, r.split_value, r.best_left, r.best_right, r.left_value,
                         r.right_value);
        }
    }
    // The growing thread's own searches are counted in their results already.
    g.own.n_fits = 0;
    return best;
}

} // namespace

real search_covariate(const grow_state& g, search_scratch& s, int t, int c, real threshold,
                      real* left_value, real* right_value, real* split_value) {
    const int k = cov_levels[c];
    return k == 1
               ? search_ordered_split(g, s, t, c, threshold, left_value, right_value, split_value)
               : search_nominal_split(g, s, t, c, k, threshold, left_value, right_value,
                                      split_value);
}

real find_best_split(grow_state& g, int t) {
    node_table& nodes = *g.nodes;
    real own = nodes.node_value[t];
    prepare_node_bounds(g, t);
    if (g.team != nullptr && nodes.node_cases[t] >= team_min_cases && team_has_helpers(g.team))
        return best_split_by_team(g, t, own);

    search_scratch& s = g.own;
    real best = own;
    for (int c = 0; c < n_covariates; c++) {
        if (cov_levels[c] <= 0) continue;
        real left_value = 0;
        real right_value = 0;
        real split_value = 0;
        // Every search is held against the node's own value, not the best so
        // far; the best so far only lets the bounds pass over candidates.
        real v = search_covariate(g, s, t, c, own, &left_value, &right_value, &split_value);
        if (v > best) {
            best = v;
            write_winner(g, t, c, split_value, s.split->best_left_stats, s.split->best_right_stats,
                         left_value, right_value);
        }
    }
    g.n_fits += s.n_fits;
    s.n_fits = 0;
    return best;
}
