// Branch sums of a tree and their upkeep while it is pruned: L(t) terminal nodes
// and S(t) summed cost below t, the link value g(t), and the marking of removed
// descendants. Shared by the main sequence and the fold trees.
#pragma once

#include "numeric/real.h"

void subtree_sums(const int* left_daughter, const real* node_value, int n_nodes, real* subtree_cost,
                  int* subtree_leaves);

// g(t) = (R(t) - S(t)) / (L(t) - 1) in double, for L(t) > 1.
double link_value(int t, const real* node_value, const real* subtree_cost,
                  const int* subtree_leaves);

void update_parents(int t, const int* parent, const real* node_value, real* subtree_cost,
                    int* subtree_leaves);

void remove_descendants(int t, const int* left_daughter, int* in_subtree);
