// grow_tree: grows the largest tree the splitting rules allow on cases 0 .. n-1
// of the given covariate and outcome matrices, breadth-first, into the node
// table; sets *n_nodes and n_patterns.
#pragma once

#include <atomic>

#include "model/fit_workspace.h"
#include "tree/node_table.h"

struct helper_pool;

// With helpers > 0 the covariates of large nodes are searched on that many
// helper threads besides the calling one, and with a pool also on the threads
// it lends; the tree is the same.
void grow_tree(real** covariates, int** outcomes, int n, int* n_nodes, node_table& nodes,
               split_workspace& split, fit_workspace& fit, int helpers = 0,
               helper_pool* pool = nullptr);

// Node fits made by every grow_tree call of the process so far (for benchmarks).
extern std::atomic<long> grow_fit_count;
