// next_alpha: the smallest link value of the current subtree, the alpha at
// which the next subtree of the sequence is reached.
#pragma once

#include "numeric/real.h"

// Ends the process with status -1 when the root is terminal.
double next_alpha(int n_nodes, const real* node_value, const real* subtree_cost,
                  const int* subtree_leaves, const int* in_subtree);
