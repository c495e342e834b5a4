// shown_text: a text in double quotes for a message, escaped as printable_text
// escapes it.
#include "table/shown_text.h"

#include "numeric/printable_text.h"

std::string shown_text(std::string_view text) {
    constexpr std::size_t max_shown = 60;
    std::string shown = "\"";
    shown += printable_text(text.substr(0, max_shown), max_shown);
    shown += '"';
    if (text.size() > max_shown) shown += "...";
    return shown;
}
