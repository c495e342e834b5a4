// The node table a tree is grown into, and the four statistics vectors of the
// split search. Both are sized from max_nodes and stat_len.
#pragma once

#include "numeric/real.h"

struct node_table {
    real* node_value = nullptr;       // fitted log-likelihood; negated once growing ends
    real* split_value = nullptr;      // cut (ordered) or category bit mask (nominal)
    int* split_covariate = nullptr;   // covariate index of the split
    int* parent = nullptr;            // parent node (never set for the root)
    int* node_cases = nullptr;        // cases in the node
    int* left_daughter = nullptr;     // 0 for a terminal node; right daughter is left + 1
    int* in_subtree = nullptr;        // pruning flag
    int** node_stats_table = nullptr; // max_nodes rows of stat_len
};

struct split_workspace {
    int* left_stats = nullptr;
    int* right_stats = nullptr;
    int* best_left_stats = nullptr;
    int* best_right_stats = nullptr;
};

void alloc_node_table(node_table& nodes);
void release_node_table(node_table& nodes);
void alloc_split_workspace(split_workspace& split);
void release_split_workspace(split_workspace& split);
