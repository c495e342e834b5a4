// search_ordered_split: for node t and ordered covariate c, places the node's
// cases in ascending order of c by their ranks, then tries every cut between
// two runs of equal values that leaves more than 60 cases on each side and
// that the bounds do not rule out, keeping the first strictly best eligible
// one; fills the winner's fitted values, its cut and the best statistics
// vectors.
#include "model/node_stats.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"
#include "tree/grow_state.h"

namespace {

constexpr int min_daughter_cases = 61;

// The primer of the search: the admissible cut whose left side's means rate
// highest, found from the pattern sums alone, then fitted.
void choose_ordered_primer(const grow_state& g, search_scratch& s, int t, int c, int groups) {
    const int m = g.nodes->node_cases[t];
    const int q = n_outcomes;
    const int* b = s.run_bounds;
    const int* sorted_case = s.bounds.sorted_case;
    const int* pairs = g.node_ref.pairs;
    int sums[17] = {};
    int chosen = 0;
    double chosen_score = -1.0;
    for (int run = 1; run < groups; run++) {
        for (int p = b[run - 1]; p < b[run]; p++) {
            const int pattern = g.case_pattern[sorted_case[p]];
            for (int j = 0; j < q; j++) sums[j] += (pattern >> j) & 1;
            sums[q] += pairs[pattern];
        }
        const int n_left = b[run];
        if (n_left < min_daughter_cases || n_left > m - min_daughter_cases) continue;
        const double score = split_score(g, sums, n_left, m);
        if (score > chosen_score) {
            chosen_score = score;
            chosen = run;
        }
    }
    if (chosen == 0) return;
    int* primer_left = s.bounds.primer_left;
    for (int e = 0; e < stat_len; e++) primer_left[e] = 0;
    for (int p = 0; p < b[chosen]; p++) add_case_stats(g, primer_left, sorted_case[p]);
    complete_pair_total(primer_left);
    fit_primer(g, s, t, c, b[chosen], chosen);
}

} // namespace

real search_ordered_split(const grow_state& g, search_scratch& s, int t, int c, real threshold,
                          real* left_value, real* right_value, real* split_value) {
    const node_table& nodes = *g.nodes;
    split_workspace& split = *s.split;
    int m = nodes.node_cases[t];
    const int* cases = g.cases_in_t[t];
    const int* rank = g.case_rank[c];
    const real* x = g.covariates[c];
    real* sorted_x = s.sorted_covariate;

    for (int i = 0; i < m; i++) {
        int id = cases[i];
        int r = rank[id];
        if (r < 0 || r >= m) input_error("rank %d out of bound in node %d", r, t);
        sorted_x[r] = x[id];
        s.bounds.sorted_case[r] = id;
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
        const int* sorted_case = s.bounds.sorted_case;
        choose_ordered_primer(g, s, t, c, groups);
        for (int run = 1; run < groups; run++) {
            // Left side grows by one run of equal values; the right side is the
            // node minus the left, never accumulated.
            for (int p = b[run - 1]; p < b[run]; p++) {
                const int id = sorted_case[p];
                add_case_stats(g, left, id);
                left_counts[g.case_pattern[id]]++;
            }
            if (g.pattern_stats == nullptr) complete_pair_total(left);
            for (int e = 0; e < stat_len; e++) right[e] = whole[e] - left[e];
            int n_left = b[run];
            if (n_left < min_daughter_cases || n_left > m - min_daughter_cases) continue;
            real lv = 0;
            real rv = 0;
            double v = 0;
            if (!evaluate_candidate(g, s, c, run, left, n_left, right, m - n_left, best, &lv, &rv,
                                    &v))
                continue;
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
