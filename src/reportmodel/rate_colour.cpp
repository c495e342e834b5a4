// rate_colour, rate_ink: linear interpolation between the nine steps of a
// single-hue blue scale (light to dark), which keeps its order in grey print
// and for readers with a colour vision deficiency. odds_ratio_colour,
// odds_ratio_ink: the same between the seven steps of a blue-white-red scale,
// whose two hues stay apart for the common red-green deficiencies.
#include "reportmodel/rate_colour.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const int steps[9][3] = {{247, 251, 255}, {222, 235, 247}, {198, 219, 239},
                         {158, 202, 225}, {107, 174, 214}, {66, 146, 198},
                         {33, 113, 181},  {8, 81, 156},    {8, 48, 107}};

const int diverging[7][3] = {{33, 102, 172},  {103, 169, 207}, {209, 229, 240}, {247, 247, 247},
                             {253, 219, 199}, {239, 138, 98},  {178, 24, 43}};

// The colour at x in [0, n - 1] between the n steps of a scale.
template <int n> std::string between(const int (&scale)[n][3], double x) {
    const int i = std::min(n - 2, static_cast<int>(x));
    const double f = x - i;
    int rgb[3];
    for (int c = 0; c < 3; c++)
        rgb[c] = static_cast<int>(std::lround(scale[i][c] + f * (scale[i + 1][c] - scale[i][c])));
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb[0], rgb[1], rgb[2]);
    return text;
}

} // namespace

std::string rate_colour(double rate) {
    return between(steps, std::isnan(rate) ? 0.0 : std::clamp(rate, 0.0, 1.0) * 8.0);
}

std::string rate_ink(double rate) {
    return rate > 0.55 ? "#ffffff" : "#000000";
}

std::string odds_ratio_colour(double ratio) {
    if (std::isnan(ratio) || ratio <= 0) return "#eeeeee";
    return between(diverging, (std::clamp(std::log(ratio), -3.0, 3.0) + 3.0));
}

std::string odds_ratio_ink(double ratio) {
    return std::fabs(std::log(ratio)) > 2.3 ? "#ffffff" : "#000000";
}
