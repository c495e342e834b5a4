// float_text: a single-precision value (a cut, as korva stores it) as the
// shortest decimal text that reads back as the same float: "4", "2.3", "0.125".
#pragma once

#include <string>

std::string float_text(float value);
