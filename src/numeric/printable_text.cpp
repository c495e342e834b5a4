// printable_text: a byte string escaped for a one-line message.
#include "numeric/printable_text.h"

std::string printable_text(std::string_view text, std::size_t max_length) {
    static const char hex[] = "0123456789abcdef";
    std::string shown;
    const std::size_t n = text.size() < max_length ? text.size() : max_length;
    for (std::size_t i = 0; i < n; i++) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            shown += "\\\\";
        } else if (c >= 0x20 && c < 0x7f) {
            shown += static_cast<char>(c);
        } else {
            shown += "\\x";
            shown += hex[c >> 4];
            shown += hex[c & 15];
        }
    }
    if (text.size() > max_length) shown += "...";
    return shown;
}
