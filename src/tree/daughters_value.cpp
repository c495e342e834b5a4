// daughters_value: fits both sides of a candidate split from their statistics
// and stores each fitted value as a real; the sum returned pairs the right
// value as fitted with the stored left value, in double.
#include "model/node_fit.h"
#include "tree/grow_state.h"

double daughters_value(grow_state& g, const int* left_stats, int n_left, const int* right_stats,
                       int n_right, real* left_value, real* right_value) {
    if (n_left <= 0 || n_right <= 0) return 0;
    g.n_fits += 2;
    *left_value = static_cast<real>(
        node_log_likelihood(left_stats, n_left, g.fit_params, g.fit_means, &g.normaliser, *g.fit));
    double right =
        node_log_likelihood(right_stats, n_right, g.fit_params, g.fit_means, &g.normaliser, *g.fit);
    *right_value = static_cast<real>(right);
    return right + static_cast<double>(*left_value);
}
