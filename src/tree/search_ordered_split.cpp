// search_ordered_split: for node t and ordered covariate c, places the node's
// cases in ascending order of c by their ranks, then tries every cut between two
// runs of equal values that leaves more than 60 cases on each side and that
// the bounds do not rule out, keeping the first strictly best eligible one;
// fills the winner's fitted values, its cut and the best
// statistics vectors.
#include "model/node_stats.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"
#include "tree/grow_state.h"

namespace {
constexpr int min_daughter_cases = 61;
}

real search_ordered_split(const grow_state& g, search_scratch& s, int t, int c, real threshold,
                          real* left_value, real* right_value, real* split_value) {
    const node_table& nodes = *g.nodes;
    split_workspace& split = *s.split;
    int m = nodes.node_cases[t];
    const int* cases = g.cases_in_t[t];
    const int* rank = g.case_rank[c];
    const real* x = g.covariates[c];
    int** sorted = s.sorted_outcomes;
    real* sorted_x = s.sorted_covariate;
    int q = n_outcomes;

    for (int i = 0; i < m; i++) {
        int id = cases[i];
        int r = rank[id];
        if (r < 0 || r >= m) input_error("rank %d out of bound in node %d", r, t);
        for (int k = 0; k <= q; k++) sorted[k][r] = g.outcomes[k][id];
        sorted_x[r] = x[id];
        s.bounds.sorted_pattern[r] = g.case_pattern[id];
    }

    int* b = s.run_bounds;
    int groups = tie_groups(sorted_x, m, b);

    real best = threshold;
    int d = 0;
    if (groups >= 2) {
        int* left = split.left_stats;
        int* right = split.right_stats;
        const int* whole = nodes.node_stats_table[t];
        for (int e = 0; e < stat_len; e++) left[e] = 0;
        begin_search_bounds(g, s);
        int* left_counts = s.bounds.left_counts;
        const int* sorted_pattern = s.bounds.sorted_pattern;
        for (int run = 1; run < groups; run++) {
            // Left side grows by one run of equal values; the right side is the
            // node minus the left, never accumulated.
            for (int p = b[run - 1]; p < b[run]; p++) {
                accumulate_case(left, sorted, p);
                left_counts[sorted_pattern[p]]++;
            }
            complete_pair_total(left);
            for (int e = 0; e < stat_len; e++) right[e] = whole[e] - left[e];
            int n_left = b[run];
            if (n_left < min_daughter_cases || n_left > m - min_daughter_cases) continue;
            // A candidate that cannot beat what this or another covariate has
            // reached is passed over unfitted (see rule_out_candidate).
            const int ruled = rule_out_candidate(g, s, left, n_left, right, m - n_left,
                                                 value_to_beat(g, s, c, best));
            if (ruled != 0 && !check_split_bounds) continue;
            real lv = 0;
            real rv = 0;
            double v = 0;
            const bool eligible = daughters_value(s, left, n_left, right, m - n_left, &lv, &rv, &v);
            after_candidate_fit(g, s, left, n_left, right, m - n_left, lv, s.right_fitted, eligible,
                                ruled);
            if (!eligible || ruled != 0) continue;
            if (v > best) {
                d = n_left - 1;
                *left_value = lv;
                *right_value = rv;
                for (int e = 0; e < stat_len; e++) {
                    split.best_left_stats[e] = left[e];
                    split.best_right_stats[e] = right[e];
                }
                best = static_cast<real>(v);
                publish_covariate_best(g, c, best);
            }
        }
        end_search_bounds(s);
    }
    *split_value = sorted_x[d];
    return best;
}
