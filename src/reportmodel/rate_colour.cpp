// rate_colour, rate_ink: linear interpolation between the nine steps of a
// single-hue blue scale (light to dark), which keeps its order in grey print
// and for readers with a colour vision deficiency.
#include "reportmodel/rate_colour.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const int steps[9][3] = {{247, 251, 255}, {222, 235, 247}, {198, 219, 239},
                         {158, 202, 225}, {107, 174, 214}, {66, 146, 198},
                         {33, 113, 181},  {8, 81, 156},    {8, 48, 107}};

} // namespace

std::string rate_colour(double rate) {
    const double x = std::isnan(rate) ? 0.0 : std::clamp(rate, 0.0, 1.0) * 8.0;
    const int i = std::min(7, static_cast<int>(x));
    const double f = x - i;
    int rgb[3];
    for (int c = 0; c < 3; c++)
        rgb[c] = static_cast<int>(std::lround(steps[i][c] + f * (steps[i + 1][c] - steps[i][c])));
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb[0], rgb[1], rgb[2]);
    return text;
}

std::string rate_ink(double rate) {
    return rate > 0.55 ? "#ffffff" : "#000000";
}
