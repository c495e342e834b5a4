// shown_text: a cell, a column name or an option value as a message quotes it,
// safe to print on a terminal.
#pragma once

#include <string>
#include <string_view>

// The text in double quotes, cut after 60 bytes (marked by "..." after the
// closing quote), escaped as printable_text (numeric/printable_text.h) does.
std::string shown_text(std::string_view text);
