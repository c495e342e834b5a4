// find_covmat, add_node_stats, accumulate_case, complete_pair_total and the
// layout indices: the node_stats summary filled from columns of an outcome
// matrix (q outcome rows, then each case's pair count).
#include "model/node_stats.h"

#include "numeric/arrays.h"
#include "numeric/console.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"

int pair_total_index(int q) {
    return q * (q + 3) / 2;
}

int cross_index(int q, int j, int l) {
    return q + j * q - j * (j - 1) / 2 + (l - j);
}

void accumulate_case(int* stats, int** outcomes, int column) {
    const int q = n_outcomes;
    const int P = pair_total_index(q);
    for (int j = 0; j < q; j++) stats[j] += outcomes[j][column];
    int k = q;
    for (int j = 0; j < q; j++) {
        const int yj = outcomes[j][column];
        for (int l = j; l < q; l++) {
            if (k < q || k > P) console_printf("kk=%d is out of bound %d and %d\n", k, q, P);
            stats[k] += outcomes[l][column] * yj;
            k++;
        }
    }
    const int t = outcomes[q][column];
    for (int j = 0; j <= q; j++) stats[P + 1 + j] += t * outcomes[j][column];
}

void complete_pair_total(int* stats) {
    const int q = n_outcomes;
    const int P = pair_total_index(q);
    int total = 0;
    for (int k = q; k < P; k++) total += stats[k];
    for (int j = 0; j < q; j++) total -= stats[j];
    stats[P] = total;
}

void find_covmat(int** outcomes, int start, int end, int* stats) {
    for (int k = 0; k < stat_len; k++) stats[k] = 0;
    // A range ending at or below 0 is an error whatever its start; it is
    // reported before any column is read, so negative columns are never touched.
    if (end <= 0) fatal_error("error in find_covmat()\n");
    for (int i = start; i < end; i++) accumulate_case(stats, outcomes, i);
    complete_pair_total(stats);
}

void add_node_stats(int* acc, int** outcomes, int start, int end) {
    // Split search calls this for every run of sorted positions, so the
    // temporary summary lives on the stack unless q is unusually large.
    constexpr int local_len = 128;
    int local[local_len];
    int* range = stat_len <= local_len ? local : ivector(stat_len);
    find_covmat(outcomes, start, end, range);
    for (int k = 0; k < stat_len; k++) acc[k] += range[k];
    if (range != local) release_vector(range);
}
