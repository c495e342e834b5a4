// pairwise_held_out_score: the negated log-likelihood of a set of cases, given
// by its node_stats, under a fitted pairwise model.
#include "model/node_stats.h"
#include "model/pairwise_fit.h"

double pairwise_held_out_score(const double* params, double log_normaliser, const int* stats, int m,
                               int q) {
    double score = m * log_normaliser;
    for (int j = 0; j < q; j++) score -= params[j] * stats[j];
    for (int j = 0; j < q; j++)
        for (int k = j + 1; k < q; k++)
            score -= params[pairwise_index(q, j, k)] * stats[cross_index(q, j, k)];
    return score;
}
