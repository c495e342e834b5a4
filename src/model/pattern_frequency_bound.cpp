// pattern_frequency_bound: n * sum_p f_p ln f_p from the pattern counts of a
// set of cases (the empirical distribution f), which no fitted node value of
// those cases can exceed; and the table of c ln c it is summed from.
#include <cmath>

#include "model/node_bounds.h"

void fill_count_log_table(double* table, int n) {
    table[0] = 0.0;
    for (int c = 1; c <= n; c++) table[c] = c * std::log(static_cast<double>(c));
}

double pattern_frequency_bound(const int* counts, int n_patterns, int n, const double* count_log) {
    double sum = 0.0;
    for (int p = 0; p < n_patterns; p++) sum += count_log[counts[p]];
    return sum - count_log[n];
}

double pattern_frequency_bound_rest(const int* whole, const int* part, int n_patterns, int n,
                                    const double* count_log) {
    double sum = 0.0;
    for (int p = 0; p < n_patterns; p++) sum += count_log[whole[p] - part[p]];
    return sum - count_log[n];
}
