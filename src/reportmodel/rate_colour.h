// The colour of an outcome rate in the pictures: a sequential scale from
// almost white (0) to dark blue (1), and the text colour that reads on it.
#pragma once

#include <string>

// "#rrggbb" for a rate in [0, 1] (clamped).
std::string rate_colour(double rate);

// "#ffffff" on the dark end of the scale, else "#000000".
std::string rate_ink(double rate);
