// formatted_input: splits a stream into white-space separated tokens through a
// reusable buffer, and converts tokens to int and real with strict checks.
#include "data/formatted_input.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "numeric/printable_text.h"

namespace {

constexpr std::size_t chunk_size = 1 << 20;

// The white space of formatted input: blank, tab, newline, vertical tab, form
// feed, carriage return.
inline bool is_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Moves the unread characters to the front of the buffer and appends whatever
// the stream gives next. Returns false when nothing could be added.
bool refill(formatted_input& in) {
    if (in.at_end) return false;
    std::size_t kept = in.end - in.pos;
    in.discarded += in.pos;
    if (in.pos > 0 && kept > 0) std::memmove(in.buffer.data(), in.buffer.data() + in.pos, kept);
    in.pos = 0;
    in.end = kept;
    if (in.buffer.size() - in.end < chunk_size / 2) in.buffer.resize(in.buffer.size() + chunk_size);
    std::size_t added = 0;
    errno = 0;
    if (in.line_at_a_time) {
        int c;
        while (in.end + added < in.buffer.size() && (c = std::getc(in.file)) != EOF) {
            in.buffer[in.end + added++] = static_cast<char>(c);
            if (c == '\n') break;
        }
    } else {
        added = std::fread(in.buffer.data() + in.end, 1, in.buffer.size() - in.end, in.file);
    }
    if (added == 0) {
        in.at_end = true;
        if (std::ferror(in.file)) in.read_errno = errno != 0 ? errno : EIO;
        return false;
    }
    in.end += added;
    return true;
}

// Accepts [+-] digits [. digits] [e [+-] digits] with at least one mantissa digit.
bool is_decimal_number(std::string_view s) {
    std::size_t i = 0, n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-')) i++;
    std::size_t digits = 0;
    while (i < n && is_digit(s[i])) i++, digits++;
    if (i < n && s[i] == '.') {
        i++;
        while (i < n && is_digit(s[i])) i++, digits++;
    }
    if (digits == 0) return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        i++;
        if (i < n && (s[i] == '+' || s[i] == '-')) i++;
        std::size_t exponent_digits = 0;
        while (i < n && is_digit(s[i])) i++, exponent_digits++;
        if (exponent_digits == 0) return false;
    }
    return i == n;
}

// Spellings of infinity and nan that a float conversion would accept.
bool names_non_finite(std::string_view s) {
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) s.remove_prefix(1);
    std::string lower;
    for (char c : s) lower.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    return lower == "inf" || lower == "infinity" || lower.rfind("nan", 0) == 0;
}

} // namespace

void open_formatted_input(formatted_input& in, std::FILE* file, bool line_at_a_time) {
    in.file = file;
    in.line_at_a_time = line_at_a_time;
    in.buffer.assign(chunk_size, '\0');
    in.pos = 0;
    in.end = 0;
    in.discarded = 0;
    in.at_end = false;
    in.token = {};
}

long token_line(formatted_input& in) {
    const std::size_t offset =
        in.discarded + static_cast<std::size_t>(in.token.data() - in.buffer.data());
    if (std::fseek(in.file, 0, SEEK_SET) != 0) return 0;
    long line = 1;
    for (std::size_t i = 0; i < offset; i++) {
        int c = std::getc(in.file);
        if (c == EOF) return 0;
        if (c == '\n') line++;
    }
    return line;
}

bool next_token(formatted_input& in) {
    // Skip white space, refilling as needed.
    for (;;) {
        while (in.pos < in.end && is_space(in.buffer[in.pos])) in.pos++;
        if (in.pos < in.end) break;
        if (!refill(in)) {
            in.token = {};
            return false;
        }
    }
    // The token runs to the next white space or the end of the stream; a token
    // cut by the end of the buffer is completed by refilling, which moves it to
    // the front.
    std::size_t scanned = in.pos;
    in.token_too_long = false;
    for (;;) {
        while (scanned < in.end && !is_space(in.buffer[scanned])) scanned++;
        if (scanned < in.end) break;
        if (scanned - in.pos > max_token_length) break;
        std::size_t offset = scanned - in.pos;
        bool more = refill(in); // may have moved the token to the front
        scanned = in.pos + offset;
        if (!more) break;
    }
    if (scanned - in.pos > max_token_length) {
        in.token_too_long = true;
        scanned = in.pos + max_token_length;
    }
    in.token = std::string_view(in.buffer.data() + in.pos, scanned - in.pos);
    in.pos = scanned;
    return true;
}

read_status parse_int(std::string_view s, int& value) {
    std::size_t i = 0, n = s.size();
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i == n) return read_malformed;
    long long magnitude = 0;
    bool too_large = false;
    for (; i < n; i++) {
        if (!is_digit(s[i])) return read_malformed;
        if (!too_large) {
            magnitude = magnitude * 10 + (s[i] - '0');
            if (magnitude > 2147483648LL) too_large = true;
        }
    }
    if (too_large || (!negative && magnitude > 2147483647LL)) return read_out_of_range;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return read_ok;
}

read_status parse_real(std::string_view s, real& value) {
    if (!is_decimal_number(s)) return names_non_finite(s) ? read_not_finite : read_malformed;
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (*first == '+') first++;
    float converted = 0.0f;
    std::from_chars_result r = std::from_chars(first, last, converted, std::chars_format::general);
    if (r.ec == std::errc() && r.ptr == last) {
        value = converted;
        return read_ok;
    }
    // Out of range either way: let strtof tell an overflow (not finite) from an
    // underflow (a finite, possibly zero, correctly rounded result).
    std::string text(s);
    errno = 0;
    float f = std::strtof(text.c_str(), nullptr);
    if (!std::isfinite(f)) return read_not_finite;
    value = f;
    return read_ok;
}

read_status read_int(formatted_input& in, int& value) {
    if (!next_token(in)) return read_end;
    if (in.token_too_long) return read_too_long;
    return parse_int(in.token, value);
}

read_status read_real(formatted_input& in, real& value) {
    if (!next_token(in)) return read_end;
    if (in.token_too_long) return read_too_long;
    return parse_real(in.token, value);
}

std::string describe_read_failure(read_status status, std::string_view token, bool whole_number,
                                  const char* end_text) {
    // Long tokens are cut so that the message stays one readable line.
    std::string shown = printable_text(token, 60);
    switch (status) {
    case read_ok:
        return "no error";
    case read_end:
        return end_text;
    case read_malformed:
        return std::string(whole_number ? "expected a whole number" : "expected a number") +
               ", found \"" + shown + "\"";
    case read_out_of_range:
        return "\"" + shown + "\" is outside the range of a 32-bit integer";
    case read_not_finite:
        return "\"" + shown + "\" is not finite as a float";
    case read_too_long:
        return "a token of more than " + std::to_string(max_token_length) + " characters, \"" +
               shown + "\"";
    }
    return "unreadable value";
}
