// rounded_exp: exp(x) rounded to a real, exactly as rounding the library's
// exp(x) gives it, from a table of 2^(j/128) and a short polynomial, falling
// back on the library's exp wherever the result could round differently.
// Inline, because the pattern sum calls it once per pattern.
//
// x = (k/128) ln 2 + r with |r| <= ln 2 / 256, so exp(x) = 2^(k div 128) *
// 2^((k mod 128)/128) * exp(r), exp(r) by its Taylor polynomial of degree 5
// (truncation below 2^-60). The double result y is within a few units of 2^-53
// of exp(x), and so is the library's exp. If every value within 2^-40 of y
// (relative) rounds to the same real, that real is the rounding of the
// library's result too; otherwise, near a midpoint between two reals (about
// one x in 2^15), the library is called.
//
// rounded_exp_block does the same for a block of arguments in a loop the
// compiler can vectorise: it flags any element that might round differently
// (or lies outside the range of normal reals) and then redoes the whole block
// one element at a time. table_exp is the double approximation alone, and
// near_real_midpoint the test of its rounding.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

#include "numeric/real.h"

// static_cast<real>(std::exp(x)), out of line.
[[gnu::cold]] real library_rounded_exp(double x);

// exp(x) in double from the table of 2^(j/128), j = 0 .. 127
// (fit_workspace::exp_table), within a few units of 2^-53 (relative) for
// |x| < 700; no range checks.
inline double table_exp(double x, const double* table) {
    constexpr double shifter = 0x1.8p52;              // adding it rounds to an integer
    constexpr double inv_step = 0x1.71547652b82fep+7; // 128 / ln 2
    constexpr double step_hi = 0x1.62e42fefa0000p-8;  // ln 2 / 128, leading 37 bits
    constexpr double step_lo = 0x1.cf79abc9e3b3ap-47; // ln 2 / 128 - step_hi
    double kd = x * inv_step + shifter;
    const std::uint64_t ki = std::bit_cast<std::uint64_t>(kd); // low bits: k
    kd -= shifter;
    const double r = (x - kd * step_hi) - kd * step_lo;
    const double r2 = r * r;
    const double p = (1.0 + r) + r2 * ((0.5 + r * (1.0 / 6)) + r2 * (1.0 / 24 + r * (1.0 / 120)));
    // 2^(k div 128) goes straight into the exponent field of the table entry.
    const double scale =
        std::bit_cast<double>(std::bit_cast<std::uint64_t>(table[ki & 127]) + ((ki >> 7) << 52));
    return scale * p;
}

// True when some value within 2^-40 (relative) of y rounds to another real
// than f = y rounded: a result within 2^-41 of y might then round differently.
inline bool near_real_midpoint(double y, real f) {
    const double margin = y * 0x1p-40;
    return (static_cast<real>(y - margin) != f) | (static_cast<real>(y + margin) != f);
}

inline real rounded_exp(double x, const double* table) {
    const double y = table_exp(x, table);
    const real f = static_cast<real>(y);
    // Outside (-87, 88) the result is not a normal real (or x is not a number);
    // y is then meaningless and the library decides.
    const bool suspect = near_real_midpoint(y, f) | !(x > -87.0) | !(x < 88.0);
    if (suspect) [[unlikely]]
        return library_rounded_exp(x);
    return f;
}

// ex[i] = rounded_exp(x[i], table) for i < n.
inline void rounded_exp_block(const double* x, real* ex, long n, const double* table) {
    int suspect = 0;
    for (long i = 0; i < n; i++) {
        const double xi = x[i];
        const double y = table_exp(xi, table);
        const real f = static_cast<real>(y);
        suspect |= near_real_midpoint(y, f) | !(xi > -87.0) | !(xi < 88.0);
        ex[i] = f;
    }
    if (suspect) [[unlikely]]
        for (long i = 0; i < n; i++) ex[i] = rounded_exp(x[i], table);
}
