// pairwise_pattern_pass: ln Z of the pairwise model at given parameters, and
// optionally the mean and covariance of its sufficient statistics, from one
// pass over the 2^q response patterns.
//
// Every statistic and every product of two statistics is a product of the
// outcomes in some set S of at most four, so its mean is P(y_j = 1 for all j
// in S): the total weight of the patterns that contain S. One superset-sum
// transform of the pattern weights gives those totals for every S at once, in
// q 2^q additions, instead of summing D(D+1)/2 products pattern by pattern.
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
    double* w = eta;
    for (long i = 0; i < K; i++) {
        w[i] = std::exp(eta[i] - top);
        sum += w[i];
    }
    // w[S] becomes the total weight of the patterns that contain S.
    for (long bit = 1; bit < K; bit <<= 1)
        for (long base = 0; base < K; base += 2 * bit)
            for (long i = base; i < base + bit; i++) w[i] += w[i + bit];

    double* E = pw.expected;
    double* I = pw.information;
    const int* mask = pw.stat_mask;
    for (int a = 0; a < D; a++) E[a] = w[mask[a]] / sum;
    for (int a = 0; a < D; a++) {
        for (int b = a; b < D; b++) {
            const double v = w[mask[a] | mask[b]] / sum - E[a] * E[b];
            I[static_cast<long>(a) * D + b] = v;
            I[static_cast<long>(b) * D + a] = v;
        }
    }
    return top + std::log(sum);
}
