// Allocation of the node table (max_nodes entries per field, max_nodes rows of
// stat_len statistics) and of the split search's four statistics vectors
// (stat_len entries each), from the run-wide counts.
#include "tree/node_table.h"

#include "numeric/arrays.h"
#include "numeric/run_counts.h"

void alloc_node_table(node_table& nodes) {
    nodes.node_value = dvector(max_nodes);
    nodes.split_value = dvector(max_nodes);
    nodes.split_covariate = ivector(max_nodes);
    nodes.parent = ivector(max_nodes);
    nodes.node_cases = ivector(max_nodes);
    nodes.left_daughter = ivector(max_nodes);
    nodes.in_subtree = ivector(max_nodes);
    nodes.node_stats_table = imatrix(max_nodes, stat_len);
}

void release_node_table(node_table& nodes) {
    if (nodes.node_stats_table != nullptr) {
        release_matrix(nodes.node_stats_table, max_nodes);
    }
    if (nodes.in_subtree != nullptr) release_vector(nodes.in_subtree);
    if (nodes.left_daughter != nullptr) release_vector(nodes.left_daughter);
    if (nodes.node_cases != nullptr) release_vector(nodes.node_cases);
    if (nodes.parent != nullptr) release_vector(nodes.parent);
    if (nodes.split_covariate != nullptr) release_vector(nodes.split_covariate);
    if (nodes.split_value != nullptr) release_vector(nodes.split_value);
    if (nodes.node_value != nullptr) release_vector(nodes.node_value);
    nodes = node_table{};
}

void alloc_split_workspace(split_workspace& split) {
    split.left_stats = ivector(stat_len);
    split.right_stats = ivector(stat_len);
    split.best_left_stats = ivector(stat_len);
    split.best_right_stats = ivector(stat_len);
}

void release_split_workspace(split_workspace& split) {
    if (split.best_right_stats != nullptr) release_vector(split.best_right_stats);
    if (split.best_left_stats != nullptr) release_vector(split.best_left_stats);
    if (split.right_stats != nullptr) release_vector(split.right_stats);
    if (split.left_stats != nullptr) release_vector(split.left_stats);
    split = split_workspace{};
}
