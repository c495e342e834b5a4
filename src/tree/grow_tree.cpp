// grow_tree: fills the node table with the largest tree the splitting rules
// allow on cases 0 .. n-1, examining nodes breadth-first in number order, and
// negates the node values at the end.
#include "tree/grow_tree.h"

#include <cstdio>
#include <cstdlib>

#include "numeric/arrays.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"
#include "tree/grow_state.h"

namespace {

void alloc_search_scratch(grow_state& g) {
    int n = g.n;
    g.sorted_outcomes = imatrix(n_outcomes + 1, n);
    g.sorted_covariate = dvector(n);
    g.run_bounds = ivector(n + 1);
    g.rank_mark = ivector(n);
    g.max_categories = 0;
    for (int c = 0; c < n_covariates; c++) {
        if (cov_levels[c] > g.max_categories) g.max_categories = cov_levels[c];
    }
    int k = g.max_categories > 0 ? g.max_categories : 1;
    g.category_count = ivector(k);
    g.category_flag = ivector(k);
    g.category_stats = imatrix(k, stat_len);
}

void release_search_scratch(grow_state& g) {
    int k = g.max_categories > 0 ? g.max_categories : 1;
    release_matrix(g.category_stats, k);
    release_vector(g.category_flag);
    release_vector(g.category_count);
    release_vector(g.rank_mark);
    release_vector(g.run_bounds);
    release_vector(g.sorted_covariate);
    release_matrix(g.sorted_outcomes, n_outcomes + 1);
}

} // namespace

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
                  split_workspace& split, fit_workspace& fit) {
    g.covariates = covariates;
    g.outcomes = outcomes;
    g.n = n;
    g.nodes = &nodes;
    g.split = &split;
    g.fit = &fit;

    g.fit_params = dvector(n_outcomes + 1);
    g.fit_means = dvector(n_outcomes + 1);
    std::printf("growing ...\n");
    n_patterns = 1 << n_outcomes;

    fit_root(g);

    g.posi = static_cast<int***>(std::calloc(static_cast<size_t>(max_nodes), sizeof(int**)));
    if (g.posi == nullptr) fatal_error("error in allocate posi");
    g.posi[0] = alloc_sorted_rows(n + 1);
    g.case_rank = alloc_sorted_rows(n + 1);

    g.cases_in_t = static_cast<int**>(std::calloc(static_cast<size_t>(max_nodes), sizeof(int*)));
    if (g.cases_in_t == nullptr) fatal_error("error in allocate cases_in_t");
    g.cases_in_t[0] = ivector(n);

    alloc_search_scratch(g);

    g.n_nodes = 1;
    presort_root(g);
    for (int i = 0; i < n; i++) g.cases_in_t[0][i] = i;
    nodes.node_cases[0] = n;
}

void finish_growth(grow_state& g) {
    // Nodes not examined (only when growth was stopped early) still hold lists.
    for (int i = 0; i < max_nodes; i++) {
        if (g.cases_in_t[i] != nullptr) release_vector(g.cases_in_t[i]);
        release_sorted_rows(g.posi[i]);
    }
    // IEEE negation: a value of 0 becomes -0.
    for (int j = 0; j < g.n_nodes; j++) g.nodes->node_value[j] = -g.nodes->node_value[j];

    release_search_scratch(g);
    std::free(g.posi);
    std::free(g.cases_in_t);
    release_vector(g.fit_means);
    release_vector(g.fit_params);
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
               split_workspace& split, fit_workspace& fit) {
    grow_state g;
    start_growth(g, covariates, outcomes, n, nodes, split, fit);
    grow_nodes(g);
    *n_nodes = g.n_nodes;
    grow_fit_count += g.n_fits;
    finish_growth(g);
}
