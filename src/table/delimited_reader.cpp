// delimited_reader: reads a delimited text file through one reusable buffer,
// detects the delimiter from the header row, and splits one record at a time
// into fields without copying any field that has no doubled quote.
#include "table/delimited_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_map>

#include "table/shown_text.h"

namespace {

#ifdef KORVA_FUZZ
// Fuzzing inputs are short: a tiny chunk makes them cross refills and growth.
constexpr std::size_t chunk_size = 16;
#else
constexpr std::size_t chunk_size = std::size_t{1} << 20;
#endif
// A record must fit in the buffer; the buffer doubles up to this size. Only a
// quote left open is likely to reach it.
constexpr std::size_t max_record_size = std::size_t{1} << 26;

bool fail(delimited_reader& r, long long line, const std::string& what) {
    r.error = r.name + ":" + std::to_string(line) + ": " + what;
    return false;
}

// Moves the unread bytes to the front, doubles the buffer when they leave
// less than half a chunk free, and appends what the file gives next. Sets
// at_end when the file is exhausted; false on a read error or an overlong record.
bool refill(delimited_reader& r) {
    const std::size_t kept = r.end - r.pos;
    if (r.pos > 0) {
        std::memmove(r.buffer.data(), r.buffer.data() + r.pos, kept);
        r.pos = 0;
        r.end = kept;
    }
    std::size_t capacity = r.buffer.size() - 1;
    if (capacity - r.end < chunk_size / 2) {
        if (capacity >= max_record_size) {
            return fail(r, r.next_line,
                        "a record of more than " + std::to_string(max_record_size) +
                            " bytes (expected shorter records; is a quote left open?)");
        }
        capacity *= 2;
        r.buffer.resize(capacity + 1);
    }
    const std::size_t wanted = capacity - r.end;
    errno = 0;
    const std::size_t added = std::fread(r.buffer.data() + r.end, 1, wanted, r.file);
    r.end += added;
    r.buffer[r.end] = '\n';
    if (added < wanted) {
        if (std::ferror(r.file)) {
            return fail(r, r.next_line,
                        std::string("cannot read the file (") +
                            std::strerror(errno != 0 ? errno : EIO) + ")");
        }
        r.at_end = true;
    }
    return true;
}

// Physical line of byte `at` of the record that starts at pos.
long long line_at(const delimited_reader& r, std::size_t at) {
    return r.next_line + std::count(r.buffer.data() + r.pos, r.buffer.data() + at, '\n');
}

enum scan_result { scan_done, scan_more, scan_failed };

struct scanned_record {
    std::size_t end = 0; // one past its line end
    long long lines = 0; // physical lines it takes
    bool blank = false;  // a line with nothing but blanks on it
};

// Splits the record at pos into spans. scan_more: the buffer ends before the
// record does and the file has more.
scan_result scan_record(delimited_reader& r, scanned_record& s) {
    r.spans.clear();
    r.unquoted.clear();
    const char* base = r.buffer.data();
    const std::size_t start = r.pos;
    const std::size_t end = r.end;
    long long quoted_newlines = 0;
    bool any_quoted = false;
    std::size_t p = start;
    for (;;) {
        if (base[p] == '"' && p < end) {
            any_quoted = true;
            const std::size_t open = p;
            std::size_t segment = p + 1;
            std::size_t q = p + 1;
            const std::size_t copy_start = r.unquoted.size();
            bool copied = false;
            for (;;) {
                const void* hit = std::memchr(base + q, '"', end - q);
                if (hit == nullptr) {
                    if (!r.at_end) return scan_more;
                    fail(r, line_at(r, open),
                         "quoted field not closed (expected a closing quote before the end of "
                         "the file)");
                    return scan_failed;
                }
                q = static_cast<const char*>(hit) - base;
                // A quote that ends the buffer is taken as closing for now; the
                // scan then asks for more and starts the record again.
                if (base[q + 1] != '"') break;
                r.unquoted.append(base + segment, q + 1 - segment);
                copied = true;
                q += 2;
                segment = q;
            }
            quoted_newlines += std::count(base + open, base + q, '\n');
            if (copied) {
                r.unquoted.append(base + segment, q - segment);
                r.spans.push_back({copy_start, r.unquoted.size() - copy_start, true});
            } else {
                r.spans.push_back({segment - start, q - segment, false});
            }
            p = q + 1;
        } else {
            // The byte at end is a line feed, so this stops there at the latest.
            const std::size_t field = p;
            while (r.stops[static_cast<unsigned char>(base[p])] == 0) p++;
            if (base[p] == '"') {
                fail(r, line_at(r, p),
                     "quote inside an unquoted field (expected the whole field in quotes, with "
                     "inner quotes doubled)");
                return scan_failed;
            }
            r.spans.push_back({field - start, p - field, false});
        }
        if (p == end) {
            if (!r.at_end) return scan_more;
            s.end = end;
            break;
        }
        const char c = base[p];
        if (c == r.delimiter) {
            p++;
            continue;
        }
        if (c == '\n') {
            s.end = p + 1;
            break;
        }
        if (c == '\r') {
            if (p + 1 == end && !r.at_end) return scan_more;
            if (p + 1 == end || base[p + 1] == '\n') {
                s.end = std::min(p + 2, end);
                break;
            }
            fail(r, line_at(r, p),
                 "carriage return inside a line (expected LF or CRLF line ends; put such a "
                 "field in quotes)");
            return scan_failed;
        }
        fail(r, line_at(r, p),
             "text after the closing quote of a field (expected a delimiter or the line end)");
        return scan_failed;
    }
    s.lines = quoted_newlines + (s.end > start && base[s.end - 1] == '\n' ? 1 : 0);
    s.blank = !any_quoted && r.spans.size() == 1 &&
              std::all_of(base + start, base + start + r.spans[0].size,
                          [](char c) { return c == ' ' || c == '\t'; });
    return scan_done;
}

enum next_result { next_ok, next_end, next_failed };

// Scans the next record, reading more of the file as needed, and moves past it;
// `line` is where it starts and `start` its offset in the buffer.
next_result scan_next(delimited_reader& r, scanned_record& s, long long& line, std::size_t& start) {
    for (;;) {
        if (r.pos == r.end && r.at_end) return next_end;
        scan_result result = scan_record(r, s);
        if (result == scan_done) break;
        if (result == scan_failed) return next_failed;
        if (!refill(r)) return next_failed;
    }
    line = r.next_line;
    start = r.pos;
    r.pos = s.end;
    r.next_line += s.lines;
    return next_ok;
}

// Counts commas, semicolons and tabs outside quotes on the header row (up to
// its first line end outside quotes) and sets the delimiter.
bool detect_delimiter(delimited_reader& r) {
    const char candidates[] = {',', ';', '\t'};
    long long counts[3] = {0, 0, 0};
    for (;;) {
        bool in_quotes = false;
        bool line_end = false;
        std::fill(counts, counts + 3, 0);
        for (std::size_t p = r.pos; p < r.end && !line_end; p++) {
            const char c = r.buffer[p];
            if (c == '"') {
                in_quotes = !in_quotes;
            } else if (!in_quotes) {
                line_end = c == '\n';
                for (int k = 0; k < 3; k++) counts[k] += c == candidates[k];
            }
        }
        if (line_end || r.at_end) break;
        if (!refill(r)) return false;
    }
    int best = 0;
    for (int k = 1; k < 3; k++) {
        if (counts[k] > counts[best]) best = k;
    }
    r.delimiter = candidates[best];
    return true;
}

std::string_view without_blanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string_view span_text(const delimited_reader& r, const delimited_reader::field_span& span,
                           std::size_t start) {
    const char* from = span.in_unquoted ? r.unquoted.data() : r.buffer.data() + start;
    return std::string_view(from + span.offset, span.size);
}

bool read_header(delimited_reader& r) {
    if (!refill(r)) return false;
    if (r.end >= 3 && std::memcmp(r.buffer.data(), "\xEF\xBB\xBF", 3) == 0) r.pos = 3;
    // Spreadsheets offer "Unicode text", UTF-16 with a byte-order mark.
    if (r.end >= 2 && (std::memcmp(r.buffer.data(), "\xFF\xFE", 2) == 0 ||
                       std::memcmp(r.buffer.data(), "\xFE\xFF", 2) == 0)) {
        return fail(r, 1, "UTF-16 text (expected UTF-8 or ASCII text; save the file as UTF-8)");
    }
    if (!detect_delimiter(r)) return false;
    for (unsigned char c :
         {static_cast<unsigned char>(r.delimiter), static_cast<unsigned char>('\n'),
          static_cast<unsigned char>('\r'), static_cast<unsigned char>('"')}) {
        r.stops[c] = 1;
    }
    scanned_record s;
    long long line = 0;
    std::size_t start = 0;
    bool blank_first = false;
    for (;;) {
        next_result result = scan_next(r, s, line, start);
        if (result == next_failed) return false;
        if (result == next_end) {
            return fail(r, 1, "empty file (expected a header row of column names)");
        }
        if (!s.blank) break;
        blank_first = true;
    }
    if (blank_first) return fail(r, 1, "blank line (expected the header row of column names)");
    std::unordered_map<std::string_view, std::size_t> seen;
    r.header.reserve(r.spans.size());
    for (const auto& span : r.spans)
        r.header.emplace_back(without_blanks(span_text(r, span, start)));
    for (std::size_t k = 0; k < r.header.size(); k++) {
        const std::string column = "column " + std::to_string(k + 1) + " of the header row";
        if (r.header[k].empty()) {
            return fail(r, line, column + " has no name (expected a name for every column)");
        }
        auto [it, added] = seen.emplace(r.header[k], k);
        if (!added) {
            return fail(r, line,
                        column + " repeats the name " + shown_text(r.header[k]) + " of column " +
                            std::to_string(it->second + 1) + " (expected distinct names)");
        }
    }
    return true;
}

} // namespace

delimited_reader::~delimited_reader() {
    if (owns_file && file != nullptr) std::fclose(file);
}

bool open_delimited_stream(delimited_reader& r, std::FILE* file, const std::string& name) {
    r.name = name;
    r.file = file;
    r.buffer.assign(chunk_size + 1, '\n');
    return read_header(r);
}

bool open_delimited(delimited_reader& r, const std::string& path) {
    r.name = path;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        r.error = path + ": cannot open the file (" + std::strerror(errno) + ")";
        return false;
    }
    r.owns_file = true;
    return open_delimited_stream(r, file, path);
}

record_status next_record(delimited_reader& r) {
    long long first_blank = 0;
    scanned_record s;
    long long line = 0;
    std::size_t start = 0;
    for (;;) {
        next_result result = scan_next(r, s, line, start);
        if (result == next_failed) return record_error;
        if (result == next_end) return record_end; // blank lines at the end are ignored
        if (!s.blank) break;
        if (first_blank == 0) first_blank = line;
    }
    if (first_blank != 0) {
        fail(r, first_blank,
             "blank line (expected a record of " + std::to_string(r.header.size()) +
                 " fields; blank lines may only end the file)");
        return record_error;
    }
    if (r.spans.size() != r.header.size()) {
        fail(r, line,
             std::to_string(r.spans.size()) + (r.spans.size() == 1 ? " field" : " fields") +
                 " (expected " + std::to_string(r.header.size()) + ", as in the header row)");
        return record_error;
    }
    r.fields.resize(r.spans.size());
    for (std::size_t k = 0; k < r.spans.size(); k++) r.fields[k] = span_text(r, r.spans[k], start);
    r.line = line;
    return record_ok;
}
