// Singular value decomposition and the overflow-safe hypotenuse.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "model/node_stats.h"
#include "model/svdcmp.h"
#include "model_cases.h"
#include "numeric/arrays.h"
#include "numeric/run_counts.h"

namespace {

struct decomposition {
    int m, n;
    real** a;
    real** v;
    real* w;
    real* work;
    decomposition(int rows, int cols) : m(rows), n(cols) {
        a = matrix(m + 1, n + 1);
        v = matrix(n + 1, n + 1);
        w = dvector(n + 1);
        work = dvector(n + 2);
    }
    ~decomposition() {
        release_matrix(a, m + 1);
        release_matrix(v, n + 1);
        release_vector(w);
        release_vector(work);
    }
    int run() { return SVDCMP(a, m, n, w, v, work); }
};

// The decomposition's stored values rest on this exact sequence: divide the
// smaller magnitude by the larger (X > Y picks X), square, round, and so on.
double literal_hypotenuse(real x, real y) {
    const real X = std::fabs(x), Y = std::fabs(y);
    if (X > Y) {
        const double r = static_cast<double>(Y) / X;
        return X * std::sqrt(1.0 + static_cast<real>(r * r));
    }
    if (Y == 0.0f) return 0.0;
    const double r = static_cast<double>(X) / Y;
    return Y * std::sqrt(1.0 + static_cast<real>(r * r));
}

TEST(Hypotenuse, SameBitsAsTheTwoBranchForm) {
    std::mt19937 gen(8);
    std::uniform_real_distribution<float> u(-3.0f, 3.0f);
    for (int n = 0; n < 200000; n++) {
        real x = u(gen), y = n % 5 == 0 ? -x : u(gen) * std::ldexp(1.0f, n % 40 - 20);
        if (n % 7 == 0) y = 0.0f;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(hypotenuse(x, y)),
                  std::bit_cast<std::uint64_t>(literal_hypotenuse(x, y)))
            << x << " " << y;
    }
    EXPECT_DOUBLE_EQ(hypotenuse(-4.0f, 3.0f), 5.0);
    EXPECT_EQ(hypotenuse(0.0f, 0.0f), 0.0);
    // Squares of these would overflow or underflow a real.
    EXPECT_NEAR(hypotenuse(3e30f, 4e30f) / 5e30, 1.0, 1e-7);
    EXPECT_NEAR(hypotenuse(3e-30f, 4e-30f) / 5e-30, 1.0, 1e-7);
    EXPECT_TRUE(std::isnan(hypotenuse(NAN, 1.0f)));
    EXPECT_TRUE(std::isnan(hypotenuse(2.0f, NAN)));
}

TEST(Svdcmp, DiagonalInputKeepsOrderAndSigns) {
    const std::vector<std::vector<real>> diagonals = {{3.5f}, {-0.25f}, {2.5f, -1.0f, 0.0f, 4.0f}};
    for (const auto& diag : diagonals) {
        const int n = static_cast<int>(diag.size());
        decomposition d(n, n);
        for (int i = 1; i <= n; i++)
            for (int j = 1; j <= n; j++) d.a[i][j] = i == j ? diag[i - 1] : 0.0f;
        ASSERT_EQ(d.run(), 1);
        if (n == 1) {
            EXPECT_EQ(d.a[1][1], -1.0f);
        }
        for (int i = 1; i <= n; i++) {
            EXPECT_EQ(d.w[i], std::fabs(diag[i - 1])) << i;
            for (int j = 1; j <= n; j++) {
                real expected = i != j ? 0.0f : (diag[i - 1] > 0 ? -1.0f : 1.0f);
                EXPECT_EQ(d.v[i][j], expected) << n << ": " << i << " " << j;
            }
        }
    }
}

TEST(Svdcmp, ZeroRowAndColumnGiveAZeroSingularValue) {
    decomposition d(3, 3);
    const real block[2][2] = {{0.25f, 0.1f}, {0.1f, 0.2f}};
    for (int i = 1; i <= 3; i++)
        for (int j = 1; j <= 3; j++) d.a[i][j] = i < 3 && j < 3 ? block[i - 1][j - 1] : 0.0f;
    ASSERT_EQ(d.run(), 1);
    int zeros = 0;
    for (int i = 1; i <= 3; i++) zeros += d.w[i] == 0.0f;
    EXPECT_EQ(zeros, 1);
    // The null direction is the third coordinate.
    for (int l = 1; l <= 3; l++)
        if (d.w[l] == 0.0f) {
            EXPECT_FLOAT_EQ(std::fabs(d.v[3][l]), 1.0f);
        }
}

// a = U diag(w) V^T, V orthogonal, w non-negative, on random matrices.
TEST(Svdcmp, ReconstructsRandomMatrices) {
    std::mt19937 gen(3);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    int shapes[][2] = {{2, 2}, {3, 3}, {5, 5}, {7, 7}, {11, 11}, {6, 4}, {9, 3}};
    for (auto& shape : shapes) {
        for (int rep = 0; rep < 20; rep++) {
            const int m = shape[0], n = shape[1];
            decomposition d(m, n);
            std::vector<std::vector<double>> orig(m + 1, std::vector<double>(n + 1));
            for (int i = 1; i <= m; i++)
                for (int j = 1; j <= n; j++) orig[i][j] = d.a[i][j] = static_cast<real>(u(gen));
            // Symmetric covariance-like inputs for the square cases, as the fit passes.
            if (m == n && rep % 2 == 0)
                for (int i = 1; i <= m; i++)
                    for (int j = 1; j < i; j++) orig[i][j] = d.a[i][j] = d.a[j][i];
            ASSERT_EQ(d.run(), 1);
            for (int l = 1; l <= n; l++) EXPECT_GE(d.w[l], 0.0f);
            for (int i = 1; i <= m; i++) {
                for (int j = 1; j <= n; j++) {
                    double sum = 0.0;
                    for (int l = 1; l <= n; l++) sum += d.a[i][l] * d.w[l] * d.v[j][l];
                    EXPECT_NEAR(sum, orig[i][j], 2e-5) << m << "x" << n << " " << i << " " << j;
                }
            }
            for (int k = 1; k <= n; k++) {
                for (int l = 1; l <= n; l++) {
                    double vv = 0.0, uu = 0.0;
                    for (int i = 1; i <= n; i++) vv += d.v[i][k] * d.v[i][l];
                    for (int i = 1; i <= m; i++) uu += d.a[i][k] * d.a[i][l];
                    EXPECT_NEAR(vv, k == l ? 1.0 : 0.0, 1e-5);
                    EXPECT_NEAR(uu, k == l ? 1.0 : 0.0, 1e-5);
                }
            }
        }
    }
}

TEST(SvdcmpDeathTest, NoColumnsIsFatal) {
    decomposition d(1, 1);
    EXPECT_EXIT(SVDCMP(d.a, 1, 0, d.w, d.v, d.work), testing::ExitedWithCode(1),
                "n must be positive\n\n");
}

} // namespace

namespace {

// FNV-1a over the bits of w and v of fixed random symmetric inputs: any change
// in the sequence of stored reals of the decomposition changes it.
TEST(Svdcmp, StoredBitsOfFixedInputsAreUnchanged) {
    std::mt19937 gen(777);
    std::normal_distribution<double> normal(0.0, 1.0);
    std::uint64_t hash = 1469598103934665603ull;
    auto mix = [&](real value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        for (int b = 0; b < 4; b++) {
            hash ^= (bits >> (8 * b)) & 0xffu;
            hash *= 1099511628211ull;
        }
    };
    for (int trial = 0; trial < 500; trial++) {
        const int n = 1 + trial % 6;
        decomposition d(n, n);
        std::vector<double> b(static_cast<size_t>((n + 1) * n));
        for (double& e : b) e = normal(gen);
        for (int i = 1; i <= n; i++)
            for (int j = 1; j <= n; j++) {
                double sum = 0;
                for (int r = 0; r < n; r++) sum += b[i * n + r] * b[j * n + r];
                d.a[i][j] = static_cast<real>(trial % 4 == 0 && (i == n || j == n) ? 0.0 : sum);
            }
        mix(static_cast<real>(d.run()));
        for (int i = 1; i <= n; i++) {
            mix(d.w[i]);
            for (int j = 1; j <= n; j++) mix(d.v[i][j]);
        }
    }
    EXPECT_EQ(hash, 17436874779600864515ull);
}

} // namespace

namespace {

// A symmetric n x n matrix of the given rank (an all-zero last row and column
// when zero_last), like the fit's covariance matrices.
void fill_symmetric(decomposition& d, std::mt19937& gen, int rank, bool zero_last) {
    std::normal_distribution<double> normal(0.0, 1.0);
    const int n = d.n;
    std::vector<std::vector<double>> b(static_cast<size_t>(n + 1),
                                       std::vector<double>(static_cast<size_t>(rank)));
    for (int i = 1; i <= n; i++)
        for (int r = 0; r < rank; r++) b[i][r] = zero_last && i == n ? 0.0 : normal(gen);
    for (int i = 1; i <= n; i++)
        for (int j = 1; j <= n; j++) {
            double sum = 0;
            for (int r = 0; r < rank; r++) sum += b[i][r] * b[j][r];
            d.a[i][j] = static_cast<real>(sum);
        }
}

void copy_input(const decomposition& from, decomposition& to) {
    for (int i = 1; i <= from.n; i++)
        for (int j = 1; j <= from.n; j++) to.a[i][j] = from.a[i][j];
}

bool same_values_and_vectors(const decomposition& x, const decomposition& y) {
    for (int i = 1; i <= x.n; i++) {
        if (std::memcmp(&x.w[i], &y.w[i], sizeof(real)) != 0) return false;
        for (int j = 1; j <= x.n; j++)
            if (std::memcmp(&x.v[i][j], &y.v[i][j], sizeof(real)) != 0) return false;
    }
    return true;
}

// Symmetric matrices like the fit's covariances, some of lower rank, some with
// an all-zero row and column, and one that does not converge: each side of a
// pair gets the w and v, bit for bit, that SVDCMP alone gives with or without U.
TEST(SvdPair, EachSideAsSvdcmpLeavesIt) {
    std::mt19937 gen(5150);
    set_outcome_counts(6);
    real** stuck = matrix(9, 9);
    node_covariance(unconverged_stats.data(), stuck, 24);
    int stuck_seen = 0;
    for (int trial = 0; trial < 400; trial++) {
        // Sides of different sizes, so that one finishes well before the other.
        const int n1 = 1 + trial % 7, n2 = 1 + (trial / 7) % 7;
        decomposition first(n1, n1), second(n2, n2), alone1(n1, n1), alone2(n2, n2);
        fill_symmetric(first, gen, trial % 3 == 0 ? std::max(1, n1 - 2) : n1, trial % 5 == 0);
        fill_symmetric(second, gen, trial % 4 == 0 ? 1 : n2, trial % 9 == 0);
        if (trial % 50 == 7 && n1 == 7) {
            for (int i = 1; i <= 7; i++)
                for (int j = 1; j <= 7; j++) first.a[i][j] = stuck[i][j];
        }
        copy_input(first, alone1);
        copy_input(second, alone2);
        decomposition with_u(n1, n1);
        copy_input(first, with_u);
        testing::internal::CaptureStdout();
        const int ok_with_u = with_u.run();
        testing::internal::GetCapturedStdout();
        testing::internal::CaptureStdout();
        const int ok1 = SVDCMP(alone1.a, n1, n1, alone1.w, alone1.v, alone1.work, false);
        const int ok2 = SVDCMP(alone2.a, n2, n2, alone2.w, alone2.v, alone2.work, false);
        const std::string alone_text = testing::internal::GetCapturedStdout();
        svd_job j1 = {first.a, n1, first.w, first.v, first.work, svd_running};
        svd_job j2 = {second.a, n2, second.w, second.v, second.work, svd_running};
        testing::internal::CaptureStdout();
        svd_pair(j1, j2);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << trial;
        testing::internal::CaptureStdout();
        EXPECT_EQ(svd_result(j1.outcome), ok1) << trial;
        EXPECT_EQ(svd_result(j2.outcome), ok2) << trial;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), alone_text) << trial;
        stuck_seen += ok1 == 0;
        EXPECT_EQ(ok_with_u, ok1) << trial;
        EXPECT_TRUE(same_values_and_vectors(with_u, alone1)) << trial;
        EXPECT_TRUE(same_values_and_vectors(first, alone1)) << trial;
        EXPECT_TRUE(same_values_and_vectors(second, alone2)) << trial;
    }
    EXPECT_GT(stuck_seen, 0);
    release_matrix(stuck, 9);
}

TEST(SvdPairDeathTest, AZeroDivisorEndsTheRunWhenItsResultIsTaken) {
    EXPECT_EXIT(svd_result(svd_zero_divisor), testing::ExitedWithCode(255), "^$");
}

} // namespace
