// node_stats: the int summary of a set of cases (outcome sums, cross products,
// pair total, products with the pair count) and the covariance matrix built
// from it.
//
// Layout for q outcomes, P = pair_total_index(q):
//   0 .. q-1        S_j, cases positive for outcome j
//   q .. P-1        sum y_j y_l for 0 <= j <= l < q, j ascending, l from j
//   P               T, total positive pairs (off-diagonal cross products)
//   P+1+j, j < q    sum t y_j
//   P+1+q           sum t^2
#pragma once

#include "numeric/real.h"

int pair_total_index(int q);

// Index of the cross product (j, l), j <= l, in a node_stats vector.
int cross_index(int q, int j, int l);

// Sets stats to the summary of columns start .. end-1 of outcomes.
void find_covmat(int** outcomes, int start, int end, int* stats);

// Adds the summary of columns start .. end-1 into acc.
void add_node_stats(int* acc, int** outcomes, int start, int end);

// Adds one case (column) to stats, every entry but the pair total T.
void accumulate_case(int* stats, int** outcomes, int column);

// Sets T from the cross-product block and the outcome sums, once all cases
// have been accumulated with accumulate_case.
void complete_pair_total(int* stats);

// Fills rows and columns 1 .. q+1 of cov with the sample covariance matrix of
// (y_0 .. y_{q-1}, t) over the n cases that stats summarises.
void node_covariance(const int* stats, real** cov, int n);
