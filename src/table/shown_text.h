// shown_text: a cell, a column name or an option value as a message quotes it,
// safe to print on a terminal.
#pragma once

#include <string>
#include <string_view>

// The text in double quotes, cut after 60 bytes (marked by "..."). Printable
// ASCII and well-formed UTF-8 characters stay as they are, except that a quote
// or backslash gets a backslash before it; every other byte (control
// characters, C1 controls, malformed UTF-8) is written as \xNN.
std::string shown_text(std::string_view text);
