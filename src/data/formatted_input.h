// formatted_input: white-space separated tokens read from a stream, and their
// strict conversion to int ("%d") and real ("%f") values.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "numeric/real.h"

// A stream being read token by token. A file is read in large chunks; the
// console is read one line at a time so that an answer is taken as soon as its
// line is typed.
struct formatted_input {
    std::FILE* file = nullptr;
    bool line_at_a_time = false;
    std::vector<char> buffer;
    std::size_t pos = 0;         // first unread character in buffer
    std::size_t end = 0;         // one past the last valid character
    std::size_t discarded = 0;   // characters of the stream dropped before buffer[0]
    bool at_end = false;         // the stream has nothing more to give
    int read_errno = 0;          // the reason when the stream ended by a read error
    std::string_view token;      // the last token read, valid until the next read
    bool token_too_long = false; // token holds only the first max_token_length characters
};

// The longest token kept whole. Longer ones are errors: no number needs that
// many characters, and a stream without white space (such as a device that
// gives only zero bytes) would otherwise grow one token without end.
constexpr std::size_t max_token_length = std::size_t{1} << 24;

enum read_status {
    read_ok,
    read_end,          // no token left in the stream
    read_malformed,    // the token is not (wholly) a number of the kind expected
    read_out_of_range, // a whole number outside the 32-bit range
    read_not_finite,   // a real that is infinite, nan, or beyond the float range
    read_too_long,     // a token longer than max_token_length
};

void open_formatted_input(formatted_input& in, std::FILE* file, bool line_at_a_time);

// Next white-space separated token into in.token; false at the end of the stream.
// A token longer than max_token_length is cut there and token_too_long is set.
bool next_token(formatted_input& in);

// "%d": the whole token is an optionally signed decimal integer in the 32-bit range.
read_status read_int(formatted_input& in, int& value);
// "%f": the whole token is an optionally signed decimal number (digits, an
// optional point, an optional exponent), correctly rounded to real and finite.
read_status read_real(formatted_input& in, real& value);

// The same conversions on a token already at hand.
read_status parse_int(std::string_view token, int& value);
read_status parse_real(std::string_view token, real& value);

// Line (from 1) of the stream where the last token read starts. Reads the
// stream again from its start, so it is for error messages only; 0 when the
// stream cannot be read again.
long token_line(formatted_input& in);

// What went wrong, for an error line: e.g. `expected a whole number, found "3.5"`.
// end_text names the end of the stream ("end of file", "end of input").
std::string describe_read_failure(read_status status, std::string_view token, bool whole_number,
                                  const char* end_text);
