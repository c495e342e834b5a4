// detect_format: reads the start of a file and applies the first-line rule
// that tells korva's data file from delimited text.
#include "table/detect_format.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "data/formatted_input.h"

namespace {

constexpr std::size_t looked_at = std::size_t{1} << 16;

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

data_format format_of_text(std::string_view text) {
    const bool cut = text.size() >= looked_at;
    if (cut) text = text.substr(0, looked_at);
    // Skip blank lines.
    std::size_t line_start = 0;
    for (std::size_t i = 0; i < text.size() && (is_blank(text[i]) || text[i] == '\n'); i++) {
        if (text[i] == '\n') line_start = i + 1;
    }
    std::string_view line = text.substr(line_start);
    const std::size_t line_end = line.find('\n');
    const bool whole_line = line_end != std::string_view::npos || !cut;
    if (line_end != std::string_view::npos) line = line.substr(0, line_end);

    int tokens = 0;
    for (std::size_t i = 0; i < line.size();) {
        if (is_blank(line[i])) {
            i++;
            continue;
        }
        std::size_t j = i;
        while (j < line.size() && !is_blank(line[j])) j++;
        if (j == line.size() && !whole_line) break; // cut at the end of what was read
        std::string_view token = line.substr(i, j - i);
        int whole = 0;
        real number = 0;
        if (tokens == 0 ? parse_int(token, whole) != read_ok
                        : parse_real(token, number) != read_ok) {
            return format_delimited;
        }
        tokens++;
        i = j;
    }
    return tokens > 0 ? format_data_file : format_delimited;
}

bool detect_format(const std::string& path, data_format& format, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = path + ": cannot open the file (" + std::strerror(errno) + ")";
        return false;
    }
    std::vector<char> start(looked_at);
    errno = 0;
    const std::size_t got = std::fread(start.data(), 1, start.size(), file);
    const bool failed = std::ferror(file) != 0;
    const int reason = errno != 0 ? errno : EIO;
    std::fclose(file);
    if (failed) {
        error = path + ": cannot read the file (" + std::strerror(reason) + ")";
        return false;
    }
    format = format_of_text(std::string_view(start.data(), got));
    return true;
}
