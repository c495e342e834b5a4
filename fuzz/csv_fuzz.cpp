// Fuzz target of the delimited text reader and the typed table. Byte 0 chooses
// the options: column k goes to one of the lists (none, outcomes, nominal,
// ordinal, ignore) by (byte 0 >> (k % 4) + k) % 5, and bit 7 adds "-" as a
// missing spelling. The remaining bytes are the file. Every file the reader
// accepts is read again by a plain byte-at-a-time parser and must give the
// same records and lines; every accepted table is checked for what a fit relies on.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "table/delimited_reader.h"
#include "table/detect_format.h"
#include "table/read_table.h"

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken table invariant: %s\n", what);
        std::abort();
    }
}

using records = std::vector<std::vector<std::string>>;

// The records of a well-formed file, the header row first, and their lines.
void plain_parse(const std::string& text, char delimiter, records& out,
                 std::vector<long long>& lines) {
    std::size_t i = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    long long line = 1;
    while (i < text.size()) {
        std::vector<std::string> fields(1);
        const long long start = line;
        for (;;) {
            if (i < text.size() && text[i] == '"') {
                for (i++; !(text[i] == '"' && (i + 1 == text.size() || text[i + 1] != '"')); i++) {
                    if (text[i] == '"') i++;
                    line += text[i] == '\n';
                    fields.back() += text[i];
                }
                i++;
            } else {
                while (i < text.size() && text[i] != delimiter && text[i] != '\n' &&
                       text[i] != '\r') {
                    fields.back() += text[i++];
                }
            }
            if (i < text.size() && text[i] == delimiter) {
                fields.emplace_back();
                i++;
                continue;
            }
            if (i < text.size() && text[i] == '\r') i++;
            if (i < text.size() && text[i] == '\n') i++, line++;
            break;
        }
        out.push_back(fields);
        lines.push_back(start);
    }
}

bool safe_message(const std::string& message) {
    if (message.compare(0, 9, "fuzz.csv:") != 0) return false;
    for (unsigned char c : message) {
        if (c < 0x20 || c == 0x7F) return false;
    }
    return true;
}

void check_reader(const std::string& text) {
    std::FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (f == nullptr) return;
    delimited_reader reader;
    records got;
    std::vector<long long> lines;
    bool whole = false;
    if (open_delimited_stream(reader, f, "fuzz.csv")) {
        got.push_back(reader.header);
        lines.push_back(1);
        record_status status;
        while ((status = next_record(reader)) == record_ok) {
            require(reader.fields.size() == reader.header.size(), "fields as in the header");
            got.emplace_back(reader.fields.begin(), reader.fields.end());
            lines.push_back(reader.line);
        }
        whole = status == record_end;
    }
    std::fclose(f);
    if (!whole) {
        require(safe_message(reader.error), "a refusal names the file and shows no control byte");
        return;
    }
    records expected;
    std::vector<long long> expected_lines;
    plain_parse(text, reader.delimiter, expected, expected_lines);
    while (expected.size() > got.size() && expected.back().size() == 1 &&
           expected.back()[0].find_first_not_of(" \t") == std::string::npos) {
        expected.pop_back(); // blank lines at the end
        expected_lines.pop_back();
    }
    for (std::string& name : expected[0]) {
        name.erase(0, name.find_first_not_of(" \t"));
        name.erase(name.find_last_not_of(" \t") + 1);
    }
    require(got == expected, "the same records as a plain parse");
    require(lines == expected_lines, "the same lines as a plain parse");
}

void check_table(const data_table& table) {
    require(table.rows >= 1, "a data row");
    bool covariate = false;
    for (const table_column& column : table.columns) {
        const std::size_t rows = static_cast<std::size_t>(table.rows);
        if (column.kind == column_outcome) {
            require(column.outcome.size() == rows, "an outcome per row");
            for (unsigned char v : column.outcome) require(v <= 1, "outcome 0 or 1");
            continue;
        }
        if (column.kind == column_ignored) continue;
        covariate = true;
        require(column.values.size() == rows && column.missing.size() == rows, "a value per row");
        int missing = 0;
        for (std::size_t r = 0; r < rows; r++) {
            missing += column.missing[r];
            if (column.missing[r]) require(column.values[r] == 0, "missing values are 0");
        }
        require(missing == column.missing_count, "missing count");
        if (column.kind != column_nominal) continue;
        require(column.categories + (missing > 0) <= max_table_categories, "category limit");
        require(column.labels.empty() ||
                    column.labels.size() == static_cast<std::size_t>(column.categories),
                "a label per category");
        for (std::size_t c = 1; c < column.labels.size(); c++) {
            require(column.labels[c - 1] < column.labels[c], "labels in byte order");
        }
        for (std::size_t r = 0; r < rows; r++) {
            if (column.missing[r]) continue;
            const real v = column.values[r];
            require(v >= 0 && v < column.categories && static_cast<int>(v) == v,
                    "a category number");
        }
    }
    require(covariate, "a covariate column");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0; // fmemopen refuses an empty buffer
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    format_of_text(text);
    check_reader(text);

    // The header's names, for options that name real columns.
    std::vector<std::string> header;
    if (std::FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r")) {
        delimited_reader reader;
        if (open_delimited_stream(reader, f, "fuzz.csv")) header = reader.header;
        std::fclose(f);
    }
    table_options options;
    std::vector<std::string>* lists[] = {nullptr, &options.outcomes, &options.nominal,
                                         &options.ordinal, &options.ignore};
    for (std::size_t k = 0; k < header.size(); k++) {
        std::vector<std::string>* list = lists[((data[0] >> (k % 4)) + k) % 5];
        if (list != nullptr) list->push_back(header[k]);
    }
    if (data[0] & 0x80) options.na.push_back("-");
    std::FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (f == nullptr) return 0;
    data_table table;
    std::string error;
    if (read_table_stream(f, "fuzz.csv", options, table, error)) {
        check_table(table);
    } else {
        require(safe_message(error), "a refusal names the file and shows no control byte");
    }
    std::fclose(f);
    return 0;
}
