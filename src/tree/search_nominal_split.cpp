// search_nominal_split: for node t and nominal covariate c with k categories,
// sums each category's cases and statistics, then walks the divisions of
// categories 0 .. k-2 in Gray-code order (category k-1 always right), moving one
// category per step and keeping the first strictly best eligible division with
// more than 60 cases on each side that the bounds do not rule out; fills the winner's fitted
// values, its category bit mask and the best statistics vectors.
#include <bit>

#include "model/node_stats.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"
#include "tree/grow_state.h"

namespace {

constexpr int min_daughter_cases = 61;

// The primer of the search: the admissible division whose left group's means
// rate highest, found by walking the divisions once without fits, then
// fitted. Leaves the membership flags and the left statistics cleared.
void choose_nominal_primer(const grow_state& g, search_scratch& s, int t, int c, int k) {
    const int m = g.nodes->node_cases[t];
    const int q = n_outcomes;
    const int P = pair_total_index(q);
    const int* count = s.category_count;
    int* flag = s.category_flag;
    int** cat_stats = s.category_stats;
    int* left = s.split->left_stats;
    int sums[17];
    int n_left = 0;
    int chosen = 0;
    int chosen_left = 0;
    double chosen_score = -1.0;
    const unsigned steps = (1u << (k - 1)) - 1u;
    for (unsigned step = 1; step <= steps; step++) {
        int joins = 0;
        const int j = gray_step_category(step, &joins);
        if (count[j] == 0) continue;
        flag[j] = joins;
        n_left += joins != 0 ? count[j] : -count[j];
        for (int e = 0; e < stat_len; e++)
            left[e] += joins != 0 ? cat_stats[j][e] : -cat_stats[j][e];
        if (n_left < min_daughter_cases || n_left > m - min_daughter_cases) continue;
        for (int jj = 0; jj < q; jj++) sums[jj] = left[jj];
        sums[q] = left[P];
        const double score = split_score(g, sums, n_left, m);
        if (score > chosen_score) {
            chosen_score = score;
            chosen = static_cast<int>(step);
            chosen_left = n_left;
            for (int e = 0; e < stat_len; e++) s.bounds.primer_left[e] = left[e];
        }
    }
    for (int jj = 0; jj < k; jj++) flag[jj] = 0;
    for (int e = 0; e < stat_len; e++) left[e] = 0;
    if (chosen != 0) fit_primer(g, s, t, c, chosen_left, chosen);
}

} // namespace

int gray_step_category(unsigned s, int* joins) {
    int j = std::countr_zero(s);
    *joins = ((s >> (j + 1)) & 1u) == 0 ? 1 : 0;
    return j;
}

real search_nominal_split(const grow_state& g, search_scratch& s, int t, int c, int k,
                          real threshold, real* left_value, real* right_value, real* split_value) {
    const node_table& nodes = *g.nodes;
    split_workspace& split = *s.split;
    int m = nodes.node_cases[t];
    const int* cases = g.cases_in_t[t];
    const real* x = g.covariates[c];
    int* count = s.category_count;
    int* flag = s.category_flag;
    int** cat_stats = s.category_stats;
    int* left = split.left_stats;
    int* right = split.right_stats;
    const int* whole = nodes.node_stats_table[t];

    int** cat_counts = s.bounds.category_counts;
    const int n_pat = s.bounds.n_patterns;
    for (int j = 0; j < k; j++) {
        count[j] = 0;
        flag[j] = 0;
        for (int e = 0; e < stat_len; e++) cat_stats[j][e] = 0;
        for (int p = 0; p < n_pat; p++) cat_counts[j][p] = 0;
    }
    for (int e = 0; e < stat_len; e++) left[e] = 0;
    begin_search_bounds(g, s);
    int* left_counts = s.bounds.left_counts;

    for (int i = 0; i < m; i++) {
        int id = cases[i];
        int j = category_of(x[id]);
        if (j < 0 || j >= k) {
            input_error("category %d of covariate %d out of range in node %d", j, c + 1, t);
        }
        count[j]++;
        add_case_stats(g, cat_stats[j], id);
        cat_counts[j][g.case_pattern[id]]++;
    }
    if (g.pattern_stats == nullptr)
        for (int j = 0; j < k; j++) complete_pair_total(cat_stats[j]);
    choose_nominal_primer(g, s, t, c, k);

    int n_left = 0;
    real best = threshold;
    unsigned steps = (1u << (k - 1)) - 1u;
    for (unsigned step = 1; step <= steps; step++) {
        int joins = 0;
        int j = gray_step_category(step, &joins);
        if (count[j] == 0) continue;
        if (joins != 0) {
            flag[j] = 1;
            n_left += count[j];
            for (int e = 0; e < stat_len; e++) left[e] += cat_stats[j][e];
            for (int p = 0; p < n_pat; p++) left_counts[p] += cat_counts[j][p];
        } else {
            flag[j] = 0;
            n_left -= count[j];
            for (int e = 0; e < stat_len; e++) left[e] -= cat_stats[j][e];
            for (int p = 0; p < n_pat; p++) left_counts[p] -= cat_counts[j][p];
        }
        if (n_left <= 0 || n_left >= m) continue;
        for (int e = 0; e < stat_len; e++) right[e] = whole[e] - left[e];
        if (n_left < min_daughter_cases || n_left > m - min_daughter_cases) continue;
        real lv = 0;
        real rv = 0;
        double v = 0;
        if (!evaluate_candidate(g, s, c, static_cast<int>(step), left, n_left, right, m - n_left,
                                best, &lv, &rv, &v))
            continue;
        if (v > best) {
            // The mask is summed as a real, rounded after each addition.
            real mask = 0;
            double bit = 1;
            for (int jj = 0; jj < k; jj++) {
                mask = static_cast<real>(static_cast<double>(mask) + flag[jj] * bit);
                bit *= 2;
            }
            *split_value = mask;
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
    return best;
}
