// Helpers of the node model tests: outcome matrices built from lists of cases,
// random nodes, and an independent double-precision fit of the same model.
#pragma once

#include <cmath>
#include <random>
#include <vector>

#include "model/node_stats.h"
#include "numeric/arrays.h"
#include "numeric/run_counts.h"

// Outcome matrix (q outcome rows, then the pair count row) of the given cases;
// each case is a vector of q 0/1 values. Release with release_matrix(m, q+1).
inline int** outcome_columns(const std::vector<std::vector<int>>& cases, int q) {
    int n = static_cast<int>(cases.size());
    int** y = imatrix(q + 1, n > 0 ? n : 1);
    for (int i = 0; i < n; i++) {
        int s = 0;
        for (int j = 0; j < q; j++) {
            y[j][i] = cases[i][j];
            s += cases[i][j];
        }
        y[q][i] = s * (s - 1) / 2;
    }
    return y;
}

// A node (q = 6, n = 24) with three identical outcome columns: its covariance
// matrix is exactly singular, and the decomposition's sweeps on it never settle.
inline const std::vector<int> unconverged_stats = {
    7,  12, 12, 12, 10, 5, 7,  7, 7, 7,   7,  3,   12,  10,  10,  10, 5,   12,
    10, 10, 5,  12, 10, 5, 10, 5, 5, 111, 85, 111, 111, 111, 111, 65, 1311};

// node_stats of the given cases (set_outcome_counts(q) must have been called).
inline std::vector<int> stats_of(const std::vector<std::vector<int>>& cases, int q) {
    std::vector<int> stats(stat_len);
    int** y = outcome_columns(cases, q);
    find_covmat(y, 0, static_cast<int>(cases.size()), stats.data());
    release_matrix(y, q + 1);
    return stats;
}

// n random cases of q correlated outcomes: a shared latent draw shifts every
// outcome's probability, so positive pairs are more frequent than under
// independence.
inline std::vector<std::vector<int>>
random_cases(std::mt19937& gen, int q, int n, const std::vector<double>& p, double association) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<std::vector<int>> cases(n, std::vector<int>(q));
    for (int i = 0; i < n; i++) {
        double z = u(gen) - 0.5;
        for (int j = 0; j < q; j++) cases[i][j] = u(gen) < p[j] + association * z ? 1 : 0;
    }
    return cases;
}

// Maximum over (theta, omega) of n * (sum theta_j ybar_j + omega tbar - ln A),
// A summed over the 2^q patterns, found by a damped Newton method in double.
inline double reference_max_log_likelihood(const std::vector<double>& ybar, double tbar, int n) {
    const int q = static_cast<int>(ybar.size());
    const int c = q + 1;
    std::vector<double> x(c, 0.0), mean(ybar);
    mean.push_back(tbar);
    auto evaluate = [&](const std::vector<double>& at, std::vector<double>* grad,
                        std::vector<std::vector<double>>* hess) {
        double A = 0.0;
        std::vector<double> E(c, 0.0);
        std::vector<std::vector<double>> EE(c, std::vector<double>(c, 0.0));
        std::vector<double> st(c);
        for (int i = 0; i < (1 << q); i++) {
            int s = 0;
            double eta = 0.0;
            for (int j = 0; j < q; j++) {
                st[j] = (i >> j) & 1;
                s += (i >> j) & 1;
                eta += st[j] * at[j];
            }
            st[q] = s * (s - 1) / 2;
            eta += st[q] * at[q];
            double e = std::exp(eta);
            A += e;
            for (int a = 0; a < c; a++) {
                E[a] += st[a] * e;
                for (int b = 0; b < c; b++) EE[a][b] += st[a] * st[b] * e;
            }
        }
        double value = -std::log(A);
        for (int a = 0; a < c; a++) value += at[a] * mean[a];
        if (grad) {
            for (int a = 0; a < c; a++) (*grad)[a] = mean[a] - E[a] / A;
            for (int a = 0; a < c; a++)
                for (int b = 0; b < c; b++) (*hess)[a][b] = EE[a][b] / A - (E[a] / A) * (E[b] / A);
        }
        return value;
    };
    std::vector<double> g(c);
    std::vector<std::vector<double>> H(c, std::vector<double>(c));
    double value = evaluate(x, &g, &H);
    for (int iter = 0; iter < 200; iter++) {
        // Solve H d = g by Gaussian elimination with partial pivoting.
        std::vector<std::vector<double>> a(H);
        std::vector<double> d(g);
        for (int k = 0; k < c; k++) {
            int piv = k;
            for (int r = k + 1; r < c; r++)
                if (std::fabs(a[r][k]) > std::fabs(a[piv][k])) piv = r;
            std::swap(a[k], a[piv]);
            std::swap(d[k], d[piv]);
            for (int r = k + 1; r < c; r++) {
                double f = a[r][k] / a[k][k];
                for (int cc = k; cc < c; cc++) a[r][cc] -= f * a[k][cc];
                d[r] -= f * d[k];
            }
        }
        for (int k = c - 1; k >= 0; k--) {
            for (int cc = k + 1; cc < c; cc++) d[k] -= a[k][cc] * d[cc];
            d[k] /= a[k][k];
        }
        double step = 1.0;
        std::vector<double> trial(c);
        double next = value;
        for (int halving = 0; halving < 60; halving++) {
            for (int k = 0; k < c; k++) trial[k] = x[k] + step * d[k];
            next = evaluate(trial, nullptr, nullptr);
            if (next >= value) break;
            step /= 2;
        }
        if (!(next >= value)) break;
        x = trial;
        bool done = next - value < 1e-14;
        value = evaluate(x, &g, &H);
        if (done) break;
    }
    return n * value;
}
