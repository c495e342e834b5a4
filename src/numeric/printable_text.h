// Text from the user's files and command line shown safely inside a message,
// and the test for well-formed UTF-8 it rests on.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Length of the well-formed UTF-8 character of two to four bytes at s[i], or 0
// (overlong forms, surrogates and code points above U+10FFFF are not).
std::size_t utf8_char_length(std::string_view s, std::size_t i);

// Well-formed UTF-8 throughout.
bool is_utf8_text(std::string_view text);

// text as a message quotes it: printable ASCII and visible UTF-8 characters
// as they are, a quote or backslash with a backslash before it, and every
// other byte (control characters, C1 controls, malformed UTF-8, and the
// invisible format characters such as a byte-order mark or a zero-width
// space) as \xNN, so that a message stays one visible line that says what the
// text really holds. Text beyond max_length bytes is cut and marked "...".
std::string printable_text(std::string_view text, std::size_t max_length = 60);
