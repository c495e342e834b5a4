// shown_text: quotes a text for a message, escaping every byte that could act
// on a terminal or is not part of a well-formed UTF-8 character.
#include "table/shown_text.h"

#include <cstddef>

namespace {

constexpr std::size_t max_shown = 60;

// Length of the well-formed UTF-8 character of two to four bytes at s[i], or 0.
// Overlong forms, surrogates, code points above U+10FFFF and the C1 controls
// U+0080..U+009F do not count.
std::size_t utf8_length(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        if (lead == 0xC2) low = 0xA0;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > s.size() || byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; k++) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    }
    return length;
}

} // namespace

std::string shown_text(std::string_view text) {
    const bool cut = text.size() > max_shown;
    if (cut) text = text.substr(0, max_shown);
    std::string shown = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            if (c == '"' || c == '\\') shown += '\\';
            shown += static_cast<char>(c);
            i++;
        } else if (std::size_t length = utf8_length(text, i); length > 0) {
            shown.append(text.substr(i, length));
            i += length;
        } else {
            const char* digits = "0123456789ABCDEF";
            shown += "\\x";
            shown += digits[c >> 4];
            shown += digits[c & 15];
            i++;
        }
    }
    shown += cut ? "\"..." : "\"";
    return shown;
}
