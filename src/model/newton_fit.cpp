// newton_fit: the fitted parameters and mean log-likelihood of the node model
// from start values, observed means and a step matrix, by Newton-type steps
// d = M (ybar - E) with step halving, a clamp on halved steps and three
// stopping rules.
#include <cmath>

#include "model/node_fit.h"
#include "numeric/fatal_error.h"

namespace {

inline real R(double x) {
    return static_cast<real>(x);
}

// -ln A + sum x_k ybar_k in double, not yet rounded.
double objective(const real* x, const real* ybar, real A, int c) {
    double sum = -std::log(static_cast<double>(A));
    for (int k = 0; k < c; k++) sum += static_cast<double>(x[k]) * ybar[k];
    return sum;
}

// Sum of squares in double, rounded once.
real squared_norm(const real* x, int c) {
    double sum = 0.0;
    for (int k = 0; k < c; k++) sum += static_cast<double>(x[k]) * x[k];
    return R(sum);
}

// Enumeration inside the iteration; a non-positive normaliser is fatal there
// (a quiet fit records the failure instead).
int enumerate_checked(const real* x, real* A, real* E, int K, fit_workspace& ws) {
    const int capped = enumerate_patterns(x, A, E, K, ws.pattern_bits, ws);
    if (*A <= 0.0f) {
        if (ws.quiet == 0) fatal_error("A must be positive\n");
        ws.failed = 1;
    }
    return capped;
}

void trial_point(const real* theta, const real* d, real* x, int c) {
    for (int k = 0; k < c; k++) x[k] = R(static_cast<double>(theta[k]) + d[k]);
}

} // namespace

real newton_fit(real* params, real* means, real** M, int c, real* normaliser, fit_workspace& ws) {
    const int K = c - 1;
    real* E = ws.singular_values; // expected statistics, then the gradient
    real* d = ws.newton_step;
    real* x = ws.svd_v[0];
    ws.passes = 0;
    ws.stop_rule = fit_stop_none;
    ws.capped_trials = 0;

    const real R_norm = squared_norm(means, c);
    real result = 0.0f;
    if (R_norm > 0.0f) {
        real A;
        enumerate_checked(params, &A, E, K, ws);
        if (ws.failed) return 0.0f;
        real f0 = R(objective(params, means, A, c));
        for (int k = 0; k < c; k++) E[k] = R(static_cast<double>(means[k]) - E[k]);
        mat_vec(M, c, c, E, d);

        for (int pass = 1;; pass++) {
            trial_point(params, d, x, c);
            // A trial at which some exponent had to be capped has a meaningless
            // objective (the capped sum has no upper bound); it is treated as
            // worse than f0, so the step is halved as for a worse trial.
            int capped = enumerate_checked(x, &A, E, K, ws);
            if (ws.failed) return 0.0f;
            ws.capped_trials += capped;
            double f1 = objective(x, means, A, c);
            real S = squared_norm(d, c);
            while ((f1 < f0 || capped) && S > 1e-6) {
                for (int k = 0; k < c; k++) {
                    d[k] = R(d[k] / 2.0);
                    if (d[k] > 3.0f) d[k] = 3.0f;
                    if (d[k] < -3.0f) d[k] = -3.0f;
                }
                S = squared_norm(d, c);
                trial_point(params, d, x, c);
                capped = enumerate_checked(x, &A, E, K, ws);
                if (ws.failed) return 0.0f;
                ws.capped_trials += capped;
                f1 = objective(x, means, A, c);
            }
            // Accept the trial even when still worse; A and E at the new point
            // are the trial's own.
            for (int k = 0; k < c; k++) params[k] = x[k];
            result = R(f1);
            f0 = result;
            for (int k = 0; k < c; k++) E[k] = R(static_cast<double>(means[k]) - E[k]);
            const real G = squared_norm(E, c);
            mat_vec(M, c, c, E, d);
            const real S_next = squared_norm(d, c);
            ws.passes = pass;
            if (!(G > 0.001 * R_norm)) {
                ws.stop_rule = fit_stop_gradient;
                break;
            }
            if (!(S_next > 1e-6)) {
                ws.stop_rule = fit_stop_step;
                break;
            }
            if (!(pass <= 30)) {
                ws.stop_rule = fit_stop_passes;
                break;
            }
        }
    }
    enumerate_patterns(params, normaliser, E, K, ws.pattern_bits, ws);
    if (ws.failed) return 0.0f;
    return result <= 0.0f ? result : 0.0f;
}
