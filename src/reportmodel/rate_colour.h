// The colour of an outcome rate in the pictures: a sequential scale from
// almost white (0) to dark blue (1), and the text colour that reads on it;
// and that of an odds ratio: a diverging scale in its logarithm.
#pragma once

#include <string>

// "#rrggbb" for a rate in [0, 1] (clamped).
std::string rate_colour(double rate);

// "#ffffff" on the dark end of the scale, else "#000000".
std::string rate_ink(double rate);

// "#rrggbb" for an odds ratio: white at 1, blue below, red above, on the
// logarithm, clamped at e^-3 and e^3 (about 0.05 and 20); light grey for NaN.
std::string odds_ratio_colour(double ratio);

// "#ffffff" on the dark ends of that scale, else "#000000".
std::string odds_ratio_ink(double ratio);
