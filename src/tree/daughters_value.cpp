// daughters_value: fits both sides of a candidate split from their statistics
// (side by side, quietly: a failed fit makes the candidate ineligible, and
// nothing is printed or stopped) and stores each fitted value as a real; the
// value of the split pairs the right value as fitted with the stored left
// value, in double.
#include "model/node_fit.h"
#include "tree/grow_state.h"

bool daughters_value(search_scratch& s, const int* left_stats, int n_left, const int* right_stats,
                     int n_right, real* left_value, real* right_value, double* value) {
    *value = 0.0;
    if (n_left <= 0 || n_right <= 0) return false;
    s.n_fits += 2;
    const node_fit_call left = {left_stats,  n_left,        s.fit_params,
                                s.fit_means, &s.normaliser, s.fit};
    const node_fit_call right = {right_stats,         n_right,     s.right_params, s.right_means,
                                 &s.right_normaliser, &s.right_fit};
    double values[2];
    if (!quiet_pair_log_likelihood(left, right, values)) return false;
    *left_value = static_cast<real>(values[0]);
    *right_value = static_cast<real>(values[1]);
    s.right_fitted = values[1];
    *value = values[1] + static_cast<double>(*left_value);
    return true;
}
