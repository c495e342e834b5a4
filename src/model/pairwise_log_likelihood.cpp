// pairwise_log_likelihood: fits the pairwise model to a node's statistics by
// Newton's method on the prior-augmented log-likelihood, and returns the
// log-likelihood of the node's own cases at the fitted parameters.
//
// Why the prior: where an outcome is 0 or 1 in every case of a node, or a pair
// of outcomes is never positive together, or two outcomes always agree, the
// likelihood keeps rising as some parameter goes to infinity, so no maximum
// exists, and a held-out case showing the unseen combination would get
// probability 0. The conjugate prior of this exponential family centred on
// the uniform distribution is the same as adding a few cases spread evenly
// over the 2^q patterns: the augmented mean statistics then lie strictly
// inside the set of attainable means, so the maximum exists and is unique and
// every pattern has positive probability. The weight is two cases: every
// pair's 2 x 2 table then gets half a case in each cell, the classical
// correction (Haldane and Anscombe) for a log odds ratio estimated from a
// table with an empty cell, and the omega_jk this model adds are such log odds
// ratios (conditional on the other outcomes). Every outcome's margin gets one
// case on each side. The weight does not grow with the node, so it matters
// only where the data are silent or nearly so.
//
// The value returned is the plain log-likelihood of the n cases at the fitted
// parameters, not the augmented objective: it is the same quantity that the
// held-out score measures on new cases, in the units of the other model's node
// values, and it adds no per-node prior term (about -q ln 2 for each node)
// that would act as an extra complexity charge on every split.
#include <cmath>

#include "model/pairwise_fit.h"

namespace {

// Sufficient condition for the backtracking line search (Armijo): the
// objective must rise by at least this share of the rise the Newton model
// predicts for the step taken.
constexpr double armijo_share = 0.25;
// Below this Newton decrement the iterate is in the region of quadratic
// convergence and the change of the objective is too small to be judged
// against its rounding, so the full step is taken untested.
constexpr double full_step_decrement = 1e-12;
constexpr int max_halvings = 60;

double dot(const double* a, const double* b, int D) {
    double s = 0.0;
    for (int d = 0; d < D; d++) s += a[d] * b[d];
    return s;
}

// sum_{k < n} a[k] b[k] in four interleaved partial sums (k mod 4), joined as
// (s0 + s1) + (s2 + s3): the same order on every call, and four independent
// chains of additions instead of one.
double dot4(const double* a, const double* b, int n) {
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    int k = 0;
    for (; k + 4 <= n; k += 4) {
        s0 += a[k] * b[k];
        s1 += a[k + 1] * b[k + 1];
        s2 += a[k + 2] * b[k + 2];
        s3 += a[k + 3] * b[k + 3];
    }
    for (; k < n; k++) s0 += a[k] * b[k];
    return (s0 + s1) + (s2 + s3);
}

// Cholesky factor L (lower, row-major) of the information matrix, with the
// reciprocals of its diagonal (multiplications instead of divisions). The matrix
// is positive definite for finite parameters; should rounding make a pivot
// non-positive, the smallest ridge of 1e-12, 1e-11, ... times the largest
// diagonal entry that lets the factorisation through is added.
void factorise(pairwise_workspace& pw) {
    const int D = pw.D;
    const double* I = pw.information;
    double* L = pw.factor;
    double largest = 0.0;
    for (int a = 0; a < D; a++)
        if (I[static_cast<long>(a) * D + a] > largest) largest = I[static_cast<long>(a) * D + a];
    double ridge = 0.0;
    for (;;) {
        bool ok = true;
        for (int a = 0; a < D && ok; a++) {
            double* La = L + static_cast<long>(a) * D;
            for (int b = 0; b <= a; b++) {
                const double* Lb = L + static_cast<long>(b) * D;
                double x = I[static_cast<long>(a) * D + b];
                if (a == b) x += ridge;
                x -= dot4(La, Lb, b);
                if (a == b) {
                    if (!(x > 0.0)) {
                        ok = false;
                        break;
                    }
                    La[a] = std::sqrt(x);
                    pw.pivot_inverse[a] = 1.0 / La[a];
                } else {
                    La[b] = x * pw.pivot_inverse[b];
                }
            }
        }
        if (ok) return;
        ridge = ridge == 0.0 ? 1e-12 * (largest > 0.0 ? largest : 1.0) : ridge * 10.0;
    }
}

// step = I^-1 gradient through the factor.
void solve(pairwise_workspace& pw) {
    const int D = pw.D;
    const double* L = pw.factor;
    double* x = pw.step;
    for (int a = 0; a < D; a++) {
        double v = pw.gradient[a];
        for (int k = 0; k < a; k++) v -= L[static_cast<long>(a) * D + k] * x[k];
        x[a] = v * pw.pivot_inverse[a];
    }
    for (int a = D - 1; a >= 0; a--) {
        double v = x[a];
        for (int k = a + 1; k < D; k++) v -= L[static_cast<long>(k) * D + a] * x[k];
        x[a] = v * pw.pivot_inverse[a];
    }
}

} // namespace

double pairwise_log_likelihood(const int* stats, int n, pairwise_workspace& pw) {
    const int q = pw.q;
    const int D = pw.D;
    double* beta = pw.params;
    double* target = pw.target;
    pw.iterations = 0;
    pw.passes = 0;
    pw.converged = 0;
    for (int d = 0; d < D; d++) beta[d] = 0.0;
    if (n <= 0) {
        pw.log_normaliser = q * std::log(2.0);
        pw.converged = 1;
        return 0.0;
    }

    // Mean statistics of the n cases and the prior cases: under the uniform
    // distribution every outcome has mean 1/2 and every pair product 1/4.
    const double a = pairwise_prior_weight;
    pairwise_statistics(stats, q, target);
    for (int d = 0; d < D; d++) target[d] = (target[d] + a * (d < q ? 0.5 : 0.25)) / (n + a);
    // Start at the independence model of the augmented margins.
    for (int j = 0; j < q; j++) beta[j] = std::log(target[j] / (1.0 - target[j]));

    // Each pass at an accepted point also gives the moments the next Newton
    // step needs, so a trial that is accepted is not summed again.
    double log_z = pairwise_pattern_pass(beta, pw, 1);
    pw.passes = 1;
    for (int it = 0;; it++) {
        const double f = dot(beta, target, D) - log_z;
        for (int d = 0; d < D; d++) pw.gradient[d] = target[d] - pw.expected[d];
        factorise(pw);
        solve(pw);
        const double decrement = dot(pw.gradient, pw.step, D);
        if (decrement <= pairwise_tolerance) {
            pw.converged = 1;
            break;
        }
        if (it == pairwise_max_iterations) break;

        if (decrement >= full_step_decrement) {
            double t = 1.0;
            double trial_log_z = 0.0;
            int h = 0;
            for (; h <= max_halvings; h++, t *= 0.5) {
                for (int d = 0; d < D; d++) pw.trial[d] = beta[d] + t * pw.step[d];
                trial_log_z = pairwise_pattern_pass(pw.trial, pw, 1);
                pw.passes++;
                const double f1 = dot(pw.trial, target, D) - trial_log_z;
                if (f1 >= f + armijo_share * t * decrement) break;
            }
            // No rise the rounding can show: the iterate is as good as it gets.
            if (h > max_halvings) break;
            for (int d = 0; d < D; d++) beta[d] = pw.trial[d];
            log_z = trial_log_z;
        } else {
            for (int d = 0; d < D; d++) beta[d] += pw.step[d];
            log_z = pairwise_pattern_pass(beta, pw, 1);
            pw.passes++;
        }
        pw.iterations++;
    }
    pw.log_normaliser = log_z;

    // The node's own cases at the fitted parameters.
    pairwise_statistics(stats, q, pw.trial);
    const double value = dot(beta, pw.trial, D) - n * log_z;
    return value < 0.0 ? value : 0.0;
}
