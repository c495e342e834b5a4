// Weakest-link cost-complexity pruning of a grown tree into the nested subtree
// sequence: sets alpha and n_subtrees and appends the pruning block to "infor".
#pragma once

#include "numeric/real.h"
#include "tree/node_table.h"

// Returns the pruned_nodes table: entry k lists (count first) the nodes made
// terminal to reach subtree k. Leaves the node table describing the last subtree.
int** prune_sequence(node_table& nodes, int n_nodes);
