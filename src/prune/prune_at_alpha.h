// prune_at_alpha: makes terminal every node of the current subtree whose link
// value is within alpha (times 1.0000001), in repeated passes over the nodes.
#pragma once

#include "numeric/real.h"
#include "tree/node_table.h"

// Returns a new vector holding the count m, then the m nodes pruned, in pruning
// order. *more_than_root is set to 1 when the resulting subtree has more than
// one node, else 0.
int* prune_at_alpha(double a, int n_nodes, node_table& nodes, real* subtree_cost,
                    int* subtree_leaves, int* more_than_root);
