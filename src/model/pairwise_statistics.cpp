// pairwise_statistics: the pairwise model's sufficient statistics, the outcome
// sums and the pair sums, taken from a node_stats vector.
#include "model/node_stats.h"
#include "model/pairwise_fit.h"

void pairwise_statistics(const int* stats, int q, double* s) {
    for (int j = 0; j < q; j++) s[j] = stats[j];
    for (int j = 0; j < q; j++)
        for (int k = j + 1; k < q; k++) s[pairwise_index(q, j, k)] = stats[cross_index(q, j, k)];
}
