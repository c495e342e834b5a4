// apply_split: divides node t's case list between its two new daughters by the
// split the search recorded, gives them their sizes, parent link and sorted
// rows; derive_daughter_posi fills a daughter's sorted rows from its parent's
// by marking the daughter's cases at their ranks, without sorting again.
#include "numeric/arrays.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"
#include "tree/grow_state.h"

void apply_split(grow_state& g, int t) {
    node_table& nodes = *g.nodes;
    int c = nodes.split_covariate[t];
    int k = cov_levels[c];
    int L = g.n_nodes;
    int R = g.n_nodes + 1;
    int m = nodes.node_cases[t];
    const int* cases = g.cases_in_t[t];
    const real* x = g.covariates[c];
    real cut = nodes.split_value[t];

    int n_left = 0;
    for (int i = 0; i < m; i++) {
        int id = cases[i];
        if (k == 1 ? x[id] <= cut : category_goes_left(cut, x[id])) n_left++;
    }
    int n_right = m - n_left;
    int* left_list = ivector(n_left);
    int* right_list = ivector(n_right);
    int il = 0;
    int ir = 0;
    for (int i = 0; i < m; i++) {
        int id = cases[i];
        if (k == 1 ? x[id] <= cut : category_goes_left(cut, x[id])) {
            left_list[il++] = id;
        } else {
            right_list[ir++] = id;
        }
    }

    g.cases_in_t[L] = left_list;
    g.cases_in_t[R] = right_list;
    g.posi[L] = alloc_sorted_rows(n_left + 1);
    g.posi[R] = alloc_sorted_rows(n_right + 1);
    nodes.node_cases[L] = n_left;
    nodes.node_cases[R] = n_right;

    derive_daughter_posi(g, t, L);
    derive_daughter_posi(g, t, R);

    nodes.parent[L] = t;
    nodes.parent[R] = t;
    nodes.left_daughter[t] = L;
    g.n_nodes += 2;
}

void derive_daughter_posi(grow_state& g, int t, int d) {
    const node_table& nodes = *g.nodes;
    int m = nodes.node_cases[t];
    int md = nodes.node_cases[d];
    const int* cases = g.cases_in_t[d];
    int* mark = g.rank_mark;
    for (int c = 0; c < n_covariates; c++) {
        if (cov_levels[c] != 1) continue;
        int* rank = g.case_rank[c];
        for (int p = 0; p < m; p++) mark[p] = 0;
        for (int i = 0; i < md; i++) {
            int r = rank[cases[i]];
            if (r < 0 || r >= m) input_error("rank %d out of bound in node %d", r, d);
            mark[r] = 1;
        }
        const int* parent_row = g.posi[t][c];
        int* row = g.posi[d][c];
        int appended = 0;
        for (int p = 0; p < m; p++) {
            if (mark[p] == 0) continue;
            if (appended < md) row[appended] = parent_row[p];
            appended++;
        }
        if (appended != md) input_error("%d %d inconsistent numbers in node %d", appended, md, d);
        for (int p = 0; p < md; p++) rank[row[p]] = p;
    }
}
