// write_tree_table: the two header lines and one row per node of the tree table.
#pragma once

#include <cstdio>

#include "numeric/real.h"

void write_tree_table(std::FILE* report, int n_nodes, const int* split_covariate,
                      const int* left_daughter, const int* node_cases, const int* cov_column,
                      const real* split_value, const real* node_value);
