// Text from the user's files shown safely inside an error message.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// text with every byte that is not printable ASCII (control characters, DEL,
// bytes of 0x80 and above, such as a byte-order mark or a NUL) written as \xNN
// and a backslash as \\, so that a message stays one visible line. Text beyond
// max_length bytes is cut and marked with "...".
std::string printable_text(std::string_view text, std::size_t max_length = 60);
