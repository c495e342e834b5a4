// The products of parameter exponentials must give every pattern the real the
// library's exp of its exponent rounds to, also next to midpoints between reals.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "model/pattern_exponentials.h"

namespace {

std::vector<double> exp_table() {
    std::vector<double> table(128);
    for (int j = 0; j < 128; j++) table[j] = std::exp2(j / 128.0);
    return table;
}

TEST(TableExp, WithinFourUnitsOfTheLastPlaceOnTheProductRange) {
    const std::vector<double> table = exp_table();
    std::mt19937_64 gen(3);
    std::uniform_real_distribution<double> u(-product_exp_bound, product_exp_bound);
    long double worst = 0;
    for (long n = 0; n < 1000000; n++) {
        const double x = n % 2 ? u(gen) : static_cast<double>(static_cast<real>(u(gen)));
        const long double exact = std::exp(static_cast<long double>(x));
        const long double error = std::fabs((table_exp(x, table.data()) - exact) / exact);
        if (error > worst) worst = error;
    }
    EXPECT_LE(worst, 4 * 0x1p-53L);
}

// Relative distance of y from the nearest midpoint between two reals.
double midpoint_distance(double y) {
    const real f = static_cast<real>(y);
    const double up = 0.5 * (static_cast<double>(f) + std::nextafter(f, INFINITY));
    const double down = 0.5 * (static_cast<double>(f) + std::nextafter(f, -INFINITY));
    return std::fmin(std::fabs(y - up), std::fabs(y - down)) / y;
}

// Pattern i's exponent as the pattern sum forms it.
double exponent(const std::vector<real>& params, int K, long i) {
    double eta = 0.0;
    int s = 0;
    for (int j = 0; j < K; j++)
        if ((i >> j) & 1) eta += params[j], s++;
    return eta + (s * (s - 1) / 2) * static_cast<double>(params[K]);
}

TEST(PatternExponentials, SameRealsAsTheLibraryExpOfEachExponent) {
    const std::vector<double> table = exp_table();
    std::mt19937 gen(17);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    long near_midpoint = 0, mismatches = 0;
    for (int K : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16}) {
        const long distinct = 1L << K;
        std::vector<int> pairs(distinct);
        for (long i = 0; i < distinct; i++) {
            const int s = std::popcount(static_cast<unsigned long>(i));
            pairs[i] = s * (s - 1) / 2;
        }
        std::vector<double> y(distinct);
        std::vector<real> e(distinct);
        const int reps = K <= 6 ? 4000 : K <= 12 ? 300 : 8;
        for (int rep = 0; rep < reps; rep++) {
            // Magnitudes up to just below the bound, and some much smaller.
            const double room = product_exp_bound / (K + K * (K - 1) / 2) * (rep % 3 ? 0.999 : 0.1);
            std::vector<real> params(K + 1);
            for (int j = 0; j <= K; j++) params[j] = static_cast<real>(room * u(gen));
            ASSERT_TRUE(pattern_exponentials(params.data(), K, pairs.data(), table.data(), y.data(),
                                             e.data()));
            for (long i = 0; i < distinct; i++) {
                const double lib = std::exp(exponent(params, K, i));
                const real expected = static_cast<real>(lib);
                near_midpoint += midpoint_distance(lib) < 0x1p-41;
                mismatches +=
                    std::bit_cast<std::uint32_t>(e[i]) != std::bit_cast<std::uint32_t>(expected);
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    // The check covers values next to a midpoint, where the products alone
    // could round the wrong way and are redone from the exponents.
    EXPECT_GT(near_midpoint, 20);
}

TEST(PatternExponentials, AProductNextToAMidpointIsRedoneFromItsExponent) {
    const std::vector<double> table = exp_table();
    // A real theta whose exp lies just above a midpoint, and a product put
    // just below that midpoint: the redo must round the exponent's exp.
    const int pairs[2] = {0, 0};
    real params[2] = {1.0f, 0.0f};
    double lib = 0;
    for (;; params[0] = std::nextafter(params[0], 2.0f)) {
        lib = std::exp(static_cast<double>(params[0]));
        if (midpoint_distance(lib) < 0x1p-42) break;
    }
    const real expected = static_cast<real>(lib);
    const double other =
        static_cast<double>(std::nextafter(expected, lib > expected ? 3.0f : 0.0f));
    const double midpoint = 0.5 * (static_cast<double>(expected) + other);
    const double y[2] = {1.0, midpoint + (midpoint - lib)}; // the mirror image of lib
    const double pair_factor[1] = {1.0};
    real e[2] = {1.0f, static_cast<real>(y[1])};
    ASSERT_NE(e[1], expected);
    redo_near_midpoints(params, 1, pairs, table.data(), y, pair_factor, e);
    EXPECT_EQ(e[1], expected);
    EXPECT_EQ(e[0], 1.0f);
}

TEST(PatternExponentials, LeavesLargeOrInvalidParametersToTheExponents) {
    const std::vector<double> table = exp_table();
    const int pairs[8] = {0, 0, 0, 1, 0, 1, 1, 3};
    double y[8];
    real e[8];
    // Sum of magnitudes 10 + 10 + 10 + 3 * 3.4 = 40.2: at the bound.
    const real at_bound[4] = {10.0f, -10.0f, 10.0f, 3.4f};
    EXPECT_FALSE(pattern_exponentials(at_bound, 3, pairs, table.data(), y, e));
    const real below[4] = {10.0f, -10.0f, 10.0f, 3.2f};
    EXPECT_TRUE(pattern_exponentials(below, 3, pairs, table.data(), y, e));
    const real not_a_number[4] = {NAN, 0.0f, 0.0f, 0.0f};
    EXPECT_FALSE(pattern_exponentials(not_a_number, 3, pairs, table.data(), y, e));
    const real infinite[4] = {0.0f, 0.0f, 0.0f, -INFINITY};
    EXPECT_FALSE(pattern_exponentials(infinite, 3, pairs, table.data(), y, e));
    // Beyond 16 outcomes the error bound does not hold; nothing is touched.
    const std::vector<real> many(18, 0.0f);
    EXPECT_FALSE(pattern_exponentials(many.data(), 17, nullptr, table.data(), nullptr, nullptr));
}

} // namespace
