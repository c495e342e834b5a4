// The table-driven exp must round to the same real as the library's exp.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "model/rounded_exp.h"

namespace {

TEST(RoundedExp, SameRealAsTheLibraryExp) {
    double table[128];
    for (int j = 0; j < 128; j++) table[j] = std::exp2(j / 128.0);
    std::mt19937_64 gen(12);
    std::uniform_real_distribution<double> u(-110.0, 95.0);
    std::vector<double> x(8);
    std::vector<real> block(8);
    long mismatches = 0;
    for (long n = 0; n < 400000; n++) {
        for (int k = 0; k < 8; k++) {
            x[k] = u(gen);
            // Arguments as the pattern sum forms them: sums of a few reals.
            if (k % 2 == 0) x[k] = static_cast<double>(static_cast<real>(x[k] / 3)) * 3;
        }
        rounded_exp_block(x.data(), block.data(), 8, table);
        for (int k = 0; k < 8; k++) {
            const real expected = static_cast<real>(std::exp(x[k]));
            mismatches += std::bit_cast<std::uint32_t>(rounded_exp(x[k], table)) !=
                          std::bit_cast<std::uint32_t>(expected);
            mismatches +=
                std::bit_cast<std::uint32_t>(block[k]) != std::bit_cast<std::uint32_t>(expected);
        }
    }
    EXPECT_EQ(mismatches, 0);
    // Edges: exact values, the cap, underflow and overflow of a real, not a number.
    for (double v : {0.0, -0.0, 50.0, -87.0, -87.5, -104.0, -1000.0, 88.0, 89.0, 1.0, -1.0}) {
        EXPECT_EQ(std::bit_cast<std::uint32_t>(rounded_exp(v, table)),
                  std::bit_cast<std::uint32_t>(static_cast<real>(std::exp(v))))
            << v;
    }
    EXPECT_TRUE(std::isnan(rounded_exp(NAN, table)));
}

} // namespace
