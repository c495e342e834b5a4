// Hand-built and generated data sets for the growing tests: owns the covariate
// and outcome matrices, sets the run-wide counts for them, and owns a node
// table and work storage of the matching sizes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/fit_workspace.h"
#include "numeric/real.h"
#include "tree/node_table.h"

struct tree_data {
    int n = 0;
    int q = 0;
    std::vector<int> levels;          // cov_levels of each covariate
    std::vector<std::vector<real>> x; // one row per covariate
    std::vector<std::vector<int>> y;  // q outcome rows, then pair counts
    std::vector<real*> x_rows;
    std::vector<int*> y_rows;

    node_table nodes;
    split_workspace split;
    fit_workspace fit;
    int n_nodes = 0;
    bool allocated = false;

    tree_data(int cases, int outcomes, std::vector<int> covariate_levels);
    ~tree_data();
    tree_data(const tree_data&) = delete;
    tree_data& operator=(const tree_data&) = delete;

    // Sets outcome j of case i; the pair counts are completed by prepare().
    void set_y(int i, int j, int v) { y[j][i] = v; }
    // Sets the run-wide counts (max_nodes = min(2n, table_size)), fills the pair
    // counts and allocates the table.
    void prepare(int table_size = 200);
    // prepare() when needed, then grows the tree into the table.
    void grow(int table_size = 200);
};

// A random data set with mixed covariates (ordered with ties, nominal with 2 to
// 5 categories, one never searched) whose outcomes depend on some of them.
void make_random_data(tree_data& d, uint32_t seed);
std::vector<int> random_levels(uint32_t seed, int n_cov);

// Depth of node t, by parent links.
int node_depth(const node_table& nodes, int t);

// Every field of the first n_nodes entries of the table, bit for bit.
std::string table_bytes(const tree_data& d);
