// utf8_char_length, is_utf8_text, printable_text: user text made safe and
// visible for a one-line message.
#include "numeric/printable_text.h"

namespace {

// The code point of the well-formed character of `length` bytes at s[i].
unsigned code_point(std::string_view s, std::size_t i, std::size_t length) {
    unsigned c = static_cast<unsigned char>(s[i]) & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; k++)
        c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3Fu);
    return c;
}

// Characters that print as nothing, or change the direction of what follows:
// C1 controls, the byte-order mark and the zero-width and bidirectional
// format characters.
bool invisible(unsigned c) {
    return (c >= 0x80 && c <= 0x9F) || c == 0xAD || c == 0xFEFF || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x2069);
}

} // namespace

std::size_t utf8_char_length(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
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
    for (std::size_t k = 2; k < length; k++)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return length;
}

bool is_utf8_text(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            i++;
            continue;
        }
        const std::size_t length = utf8_char_length(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string printable_text(std::string_view text, std::size_t max_length) {
    static const char hex[] = "0123456789abcdef";
    const bool cut = text.size() > max_length;
    if (cut) text = text.substr(0, max_length);
    std::string shown;
    auto escape = [&](unsigned char c) {
        shown += "\\x";
        shown += hex[c >> 4];
        shown += hex[c & 15];
    };
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            if (c == '"' || c == '\\') shown += '\\';
            shown += static_cast<char>(c);
            i++;
            continue;
        }
        const std::size_t length = c >= 0x80 ? utf8_char_length(text, i) : 0;
        if (length > 0 && !invisible(code_point(text, i, length))) {
            shown.append(text.substr(i, length));
        } else {
            for (std::size_t k = 0; k < (length > 0 ? length : 1); k++)
                escape(static_cast<unsigned char>(text[i + k]));
        }
        i += length > 0 ? length : 1;
    }
    if (cut) shown += "...";
    return shown;
}
