// xml_escaped and text_width.
#include "reportmodel/xml_text.h"

#include <cstring>

std::string xml_escaped(const std::string& text) {
    std::string e;
    for (char c : text) {
        switch (c) {
        case '&':
            e += "&amp;";
            break;
        case '<':
            e += "&lt;";
            break;
        case '>':
            e += "&gt;";
            break;
        case '"':
            e += "&quot;";
            break;
        case '\'':
            e += "&#39;";
            break;
        default:
            // Control characters are not allowed in XML 1.0.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n')
                e += ' ';
            else
                e += c;
        }
    }
    return e;
}

double text_width(const std::string& text, double font_size) {
    double em = 0;
    for (unsigned char c : text) {
        if ((c & 0xc0) == 0x80) continue; // a UTF-8 continuation byte
        if (c >= 0x80)
            em += 0.6;
        else if (std::strchr("iljtfrI.,:;!'|()[]{} ", c) != nullptr && c != 0)
            em += 0.3;
        else if (std::strchr("mwMW@%", c) != nullptr && c != 0)
            em += 0.85;
        else if (c >= 'A' && c <= 'Z')
            em += 0.68;
        else
            em += 0.56;
    }
    return em * font_size;
}
