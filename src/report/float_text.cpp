// float_text: std::to_chars gives the shortest round-trip text of a float;
// plain notation keeps cuts such as 13862.4 or 0.0001 readable to users.
#include "report/float_text.h"

#include <charconv>
#include <cmath>

std::string float_text(float value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char text[64];
    const std::chars_format form = std::fabs(value) >= 1e-4f && std::fabs(value) < 1e15f
                                       ? std::chars_format::fixed
                                       : std::chars_format::general;
    // Negative zero reads as 0 to a user.
    if (value == 0.0f) return "0";
    const std::to_chars_result r = std::to_chars(text, text + sizeof text, value, form);
    return std::string(text, r.ptr);
}
