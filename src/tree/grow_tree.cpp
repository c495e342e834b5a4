// grow_tree: fills the node table with the largest tree the splitting rules
// allow on cases 0 .. n-1, examining nodes breadth-first in number order, and
// negates the node values at the end.
#include "tree/grow_tree.h"

#include <cstdlib>

#include "model/node_stats.h"
#include "numeric/arrays.h"
#include "numeric/console.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"
#include "tree/grow_state.h"
#include "tree/search_team.h"

void alloc_search_scratch(search_scratch& s, int n, split_workspace& split, fit_workspace& fit) {
    s.split = &split;
    s.fit = &fit;
    s.fit_params = dvector(n_outcomes + 1);
    s.fit_means = dvector(n_outcomes + 1);
    alloc_fit_workspace(s.right_fit, n_outcomes);
    s.right_params = dvector(n_outcomes + 1);
    s.right_means = dvector(n_outcomes + 1);
    s.n_fits = 0;
    s.sorted_covariate = dvector(n);
    s.run_bounds = ivector(n + 1);
    s.max_categories = 0;
    for (int c = 0; c < n_covariates; c++) {
        if (cov_levels[c] > s.max_categories) s.max_categories = cov_levels[c];
    }
    int k = s.max_categories > 0 ? s.max_categories : 1;
    s.category_count = ivector(k);
    s.category_flag = ivector(k);
    s.category_stats = imatrix(k, stat_len);
    alloc_split_bounds(s.bounds, n, s.max_categories);
}

void release_search_scratch(search_scratch& s) {
    if (s.fit_params == nullptr) return;
    int k = s.max_categories > 0 ? s.max_categories : 1;
    release_split_bounds(s.bounds);
    release_matrix(s.category_stats, k);
    release_vector(s.category_flag);
    release_vector(s.category_count);
    release_vector(s.run_bounds);
    release_vector(s.sorted_covariate);
    release_vector(s.right_means);
    release_vector(s.right_params);
    release_fit_workspace(s.right_fit);
    release_vector(s.fit_means);
    release_vector(s.fit_params);
    s = search_scratch{};
}

int** alloc_sorted_rows(int columns) {
    int** rows =
        static_cast<int**>(std::calloc(static_cast<size_t>(n_covariates) + 1, sizeof(int*)));
    if (rows == nullptr) fatal_error("error in allocate posi");
    for (int c = 0; c < n_covariates; c++) {
        if (cov_levels[c] == 1) rows[c] = ivector(columns);
    }
    return rows;
}

void release_sorted_rows(int** rows) {
    if (rows == nullptr) return;
    for (int c = n_covariates - 1; c >= 0; c--) {
        if (rows[c] != nullptr) release_vector(rows[c]);
    }
    std::free(rows);
}

void start_growth(grow_state& g, real** covariates, int** outcomes, int n, node_table& nodes,
                  split_workspace& split, fit_workspace& fit, int helpers, helper_pool* pool) {
    g.covariates = covariates;
    g.outcomes = outcomes;
    g.n = n;
    g.nodes = &nodes;
    alloc_search_scratch(g.own, n, split, fit);

    console_printf("growing ...\n");
    // Written only when it differs, so that trees grown side by side only
    // read it: the count is set before the first tree and never changes.
    if (n_patterns != 1 << n_outcomes) n_patterns = 1 << n_outcomes;

    fit_root(g);

    g.posi = static_cast<int***>(std::calloc(static_cast<size_t>(max_nodes), sizeof(int**)));
    if (g.posi == nullptr) fatal_error("error in allocate posi");
    g.posi[0] = alloc_sorted_rows(n + 1);
    g.case_rank = alloc_sorted_rows(n + 1);

    g.cases_in_t = static_cast<int**>(std::calloc(static_cast<size_t>(max_nodes), sizeof(int*)));
    if (g.cases_in_t == nullptr) fatal_error("error in allocate cases_in_t");
    g.cases_in_t[0] = ivector(n);

    g.rank_mark = ivector(n);

    g.case_pattern = ivector(n);
    for (int i = 0; i < n; i++) {
        int pattern = 0;
        for (int j = 0; j < n_outcomes; j++) pattern |= (outcomes[j][i] != 0 ? 1 : 0) << j;
        g.case_pattern[i] = pattern;
    }
    const int n_pat = 1 << n_outcomes;
    if (n_outcomes <= 10) {
        g.pattern_stats = ivector(static_cast<long>(n_pat) * stat_len);
        int** one_case = imatrix(n_outcomes + 1, 1);
        for (int p = 0; p < n_pat; p++) {
            int s = 0;
            for (int j = 0; j < n_outcomes; j++) s += one_case[j][0] = (p >> j) & 1;
            one_case[n_outcomes][0] = s * (s - 1) / 2;
            find_covmat(one_case, 0, 1, g.pattern_stats + static_cast<long>(p) * stat_len);
        }
        release_matrix(one_case, n_outcomes + 1);
    }
    g.node_counts = ivector(n_pat);
    alloc_tilt_reference(g.node_ref, n_outcomes);
    g.score_factor = new double[static_cast<size_t>((n_outcomes + 1) * (n_outcomes + 1))];
    g.score_mean = new double[static_cast<size_t>(n_outcomes + 1)];
    g.score_inverse = new double[static_cast<size_t>(n_outcomes + 1)];
    g.covariate_best = new std::atomic<real>[static_cast<size_t>(n_covariates) + 1];

    g.n_nodes = 1;
    presort_root(g);
    for (int i = 0; i < n; i++) g.cases_in_t[0][i] = i;
    nodes.node_cases[0] = n;
    if (helpers > 0 || pool != nullptr) g.team = start_search_team(g, helpers, pool);
}

void finish_growth(grow_state& g) {
    // Nodes not examined (only when growth was stopped early) still hold lists;
    // a stop during start_growth leaves some tables not yet allocated.
    for (int i = 0; i < max_nodes; i++) {
        if (g.cases_in_t != nullptr && g.cases_in_t[i] != nullptr) release_vector(g.cases_in_t[i]);
        if (g.posi != nullptr) release_sorted_rows(g.posi[i]);
    }
    // IEEE negation: a value of 0 becomes -0.
    for (int j = 0; j < g.n_nodes; j++) g.nodes->node_value[j] = -g.nodes->node_value[j];

    if (g.team != nullptr) finish_search_team(g.team);
    release_vector(g.rank_mark);
    if (g.case_pattern != nullptr) release_vector(g.case_pattern);
    if (g.node_counts != nullptr) release_vector(g.node_counts);
    if (g.pattern_stats != nullptr) release_vector(g.pattern_stats);
    if (g.node_ref.h != nullptr) release_tilt_reference(g.node_ref);
    delete[] g.covariate_best;
    delete[] g.score_factor;
    delete[] g.score_mean;
    delete[] g.score_inverse;
    release_search_scratch(g.own);
    std::free(g.posi);
    std::free(g.cases_in_t);
    release_sorted_rows(g.case_rank);
    g = grow_state{};
}

void grow_nodes(grow_state& g) {
    // The bound is read again after every node, since splits raise it. A node's
    // case list and sorted rows are freed as soon as it has been examined.
    for (int i = 0; i < g.n_nodes; i++) {
        try_split_node(g, i);
        release_vector(g.cases_in_t[i]);
        g.cases_in_t[i] = nullptr;
        release_sorted_rows(g.posi[i]);
        g.posi[i] = nullptr;
    }
}

std::atomic<long> grow_fit_count{0};

void grow_tree(real** covariates, int** outcomes, int n, int* n_nodes, node_table& nodes,
               split_workspace& split, fit_workspace& fit, int helpers, helper_pool* pool) {
    grow_state g;
    try {
        start_growth(g, covariates, outcomes, n, nodes, split, fit, helpers, pool);
        grow_nodes(g);
    } catch (...) {
        // A stop captured in a worker thread: release the call's storage (and
        // its helper threads) before the stop travels on to the thread that
        // performs it.
        finish_growth(g);
        throw;
    }
    *n_nodes = g.n_nodes;
    grow_fit_count += g.n_fits;
    finish_growth(g);
}
