// daughters_value: fits both sides of a candidate split from their statistics
// and stores each fitted value as a real; the sum returned pairs the right
// value as fitted with the stored left value, in double.
#include "model/node_fit.h"
#include "tree/grow_state.h"

double daughters_value(search_scratch& s, const int* left_stats, int n_left, const int* right_stats,
                       int n_right, real* left_value, real* right_value) {
    if (n_left <= 0 || n_right <= 0) return 0;
    s.n_fits += 2;
    *left_value = static_cast<real>(
        node_log_likelihood(left_stats, n_left, s.fit_params, s.fit_means, &s.normaliser, *s.fit));
    double right =
        node_log_likelihood(right_stats, n_right, s.fit_params, s.fit_means, &s.normaliser, *s.fit);
    *right_value = static_cast<real>(right);
    return right + static_cast<double>(*left_value);
}
