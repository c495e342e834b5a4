// The growing tests' data sets and their set-up of the run-wide counts.
#include "tree_data.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "numeric/run_counts.h"
#include "tree/grow_tree.h"

tree_data::tree_data(int cases, int outcomes, std::vector<int> covariate_levels)
    : n(cases), q(outcomes), levels(std::move(covariate_levels)) {
    x.assign(levels.size(), std::vector<real>(static_cast<size_t>(n), 0.0f));
    y.assign(static_cast<size_t>(q) + 1, std::vector<int>(static_cast<size_t>(n), 0));
}

tree_data::~tree_data() {
    if (allocated) {
        release_node_table(nodes);
        release_split_workspace(split);
        release_fit_workspace(fit);
    }
}

void tree_data::prepare(int table_size) {
    for (int i = 0; i < n; i++) {
        int s = 0;
        for (int j = 0; j < q; j++) s += y[j][i];
        y[q][i] = s * (s - 1) / 2;
    }
    x_rows.clear();
    for (auto& row : x) x_rows.push_back(row.data());
    y_rows.clear();
    for (auto& row : y) y_rows.push_back(row.data());
    set_outcome_counts(q);
    n_subjects = n;
    n_covariates = static_cast<int>(levels.size());
    cov_levels = levels.data();
    if (allocated) {
        release_node_table(nodes);
        release_split_workspace(split);
        release_fit_workspace(fit);
    }
    max_nodes = std::min(2 * n, table_size);
    alloc_node_table(nodes);
    alloc_split_workspace(split);
    alloc_fit_workspace(fit, q);
    allocated = true;
}

void tree_data::grow(int table_size) {
    prepare(table_size);
    grow_tree(x_rows.data(), y_rows.data(), n, &n_nodes, nodes, split, fit);
}

std::vector<int> random_levels(uint32_t seed, int n_cov) {
    std::mt19937 gen(seed);
    std::vector<int> levels(static_cast<size_t>(n_cov));
    for (int c = 0; c < n_cov; c++) {
        int kind = static_cast<int>(gen() % 3);
        levels[c] = kind == 0 ? 2 + static_cast<int>(gen() % 4) : 1;
    }
    levels[static_cast<size_t>(n_cov) - 1] = 0; // a column that is never searched
    return levels;
}

void make_random_data(tree_data& d, uint32_t seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int n_cov = static_cast<int>(d.levels.size());
    for (int c = 0; c < n_cov; c++) {
        int k = d.levels[c];
        // Ordered covariates: a few with many ties, the others nearly distinct.
        int spread = c % 2 == 0 ? 7 : 1000;
        for (int i = 0; i < d.n; i++) {
            if (k >= 2) {
                d.x[c][i] = static_cast<real>(gen() % static_cast<unsigned>(k));
            } else {
                d.x[c][i] = static_cast<real>(static_cast<int>(gen() % spread)) / 4.0f;
            }
        }
    }
    for (int i = 0; i < d.n; i++) {
        double signal = 0;
        for (int c = 0; c < std::min(n_cov, 3); c++) {
            if (d.levels[c] >= 2) {
                signal += static_cast<int>(d.x[c][i]) % 2 == 0 ? 1.0 : -1.0;
            } else if (d.levels[c] == 1) {
                double middle = (c % 2 == 0 ? 7 : 1000) / 8.0;
                signal += d.x[c][i] > middle ? 0.8 : -0.8;
            }
        }
        for (int j = 0; j < d.q; j++) {
            double p = 1.0 / (1.0 + std::exp(-(signal * (j % 2 == 0 ? 1.0 : -0.7))));
            d.set_y(i, j, unit(gen) < p ? 1 : 0);
        }
    }
}

int node_depth(const node_table& nodes, int t) {
    int depth = 0;
    for (int u = t; u != 0; u = nodes.parent[u]) depth++;
    return depth;
}

std::string table_bytes(const tree_data& d) {
    std::string bytes;
    auto add = [&](const void* p, size_t size) { bytes.append(static_cast<const char*>(p), size); };
    const size_t n = static_cast<size_t>(d.n_nodes);
    add(d.nodes.node_value, n * sizeof(real));
    add(d.nodes.split_value, n * sizeof(real));
    add(d.nodes.split_covariate, n * sizeof(int));
    add(d.nodes.left_daughter, n * sizeof(int));
    add(d.nodes.node_cases, n * sizeof(int));
    for (size_t t = 1; t < n; t++) add(&d.nodes.parent[t], sizeof(int));
    for (size_t t = 0; t < n; t++) add(d.nodes.node_stats_table[t], stat_len * sizeof(int));
    return bytes;
}
