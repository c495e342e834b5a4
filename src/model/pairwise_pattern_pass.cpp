// pairwise_pattern_pass: ln Z of the pairwise model at given parameters, and
// optionally the mean and covariance of its sufficient statistics, from one
// pass over the 2^q response patterns.
#include <bit>
#include <cmath>

#include "model/pairwise_fit.h"

double pairwise_pattern_pass(const double* beta, pairwise_workspace& pw, int moments) {
    const int D = pw.D;
    const long K = pw.n_patterns;
    double* eta = pw.eta;

    // Exponents, each from the pattern without its lowest bit l: add theta_l
    // and omega_lk for every bit k above it.
    eta[0] = 0.0;
    double top = 0.0;
    for (long i = 1; i < K; i++) {
        const unsigned long bits = static_cast<unsigned long>(i);
        const int l = std::countr_zero(bits);
        const unsigned long rest = bits & (bits - 1);
        const double* omega = beta + pw.pair_row[l];
        double x = eta[rest] + beta[l];
        for (unsigned long r = rest; r != 0; r &= r - 1) x += omega[std::countr_zero(r)];
        eta[i] = x;
        if (x > top) top = x;
    }

    // Weights relative to the largest, so that no exponential overflows.
    double sum = 0.0;
    if (!moments) {
        for (long i = 0; i < K; i++) sum += std::exp(eta[i] - top);
        return top + std::log(sum);
    }

    double* E = pw.expected;
    double* I = pw.information;
    for (int a = 0; a < D; a++) E[a] = 0.0;
    for (long a = 0; a < static_cast<long>(D) * D; a++) I[a] = 0.0;
    for (long i = 0; i < K; i++) {
        const double w = std::exp(eta[i] - top);
        sum += w;
        const int* act = pw.active + pw.active_first[i];
        const int n_act = pw.active_first[i + 1] - pw.active_first[i];
        // Second moments on and above the diagonal: u_a u_b = 1 exactly when
        // both statistics are active.
        for (int x = 0; x < n_act; x++) {
            const int a = act[x];
            E[a] += w;
            double* row = I + static_cast<long>(a) * D;
            for (int y = x; y < n_act; y++) row[act[y]] += w;
        }
    }
    for (int a = 0; a < D; a++) E[a] /= sum;
    for (int a = 0; a < D; a++) {
        for (int b = a; b < D; b++) {
            const long ab = static_cast<long>(a) * D + b;
            I[ab] = I[ab] / sum - E[a] * E[b];
            I[static_cast<long>(b) * D + a] = I[ab];
        }
    }
    return top + std::log(sum);
}
