// Delimited text: delimiters and their tie rule, quotes, BOM, line ends, line
// numbers, records cut by buffer refills, and every refusal with its message.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "table/delimited_reader.h"

namespace {

struct read_result {
    std::string error; // empty when the whole file was read
    char delimiter = 0;
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> records;
    std::vector<long long> lines;
};

read_result read_text(const std::string& text) {
    std::FILE* f = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    read_result r;
    delimited_reader reader;
    if (open_delimited_stream(reader, f, "t.csv")) {
        r.delimiter = reader.delimiter;
        r.header = reader.header;
        record_status status;
        while ((status = next_record(reader)) == record_ok) {
            r.records.emplace_back(reader.fields.begin(), reader.fields.end());
            r.lines.push_back(reader.line);
        }
        if (status == record_error) r.error = reader.error;
    } else {
        r.error = reader.error;
    }
    std::fclose(f);
    return r;
}

using records = std::vector<std::vector<std::string>>;

} // namespace

TEST(DelimitedReader, ReadsEveryFormOfField) {
    struct {
        std::string text;
        char delimiter;
        std::vector<std::string> header;
        records expected;
        std::vector<long long> lines;
    } cases[] = {
        {"a,b\n1,2\n3,4\n", ',', {"a", "b"}, {{"1", "2"}, {"3", "4"}}, {2, 3}},
        // BOM, CRLF, an empty last field, trailing blank lines.
        {"\xEF\xBB\xBF a ; b \r\n1;2\r\n3;\r\n\r\n \n",
         ';',
         {"a", "b"},
         {{"1", "2"}, {"3", ""}},
         {2, 3}},
        // Tab and semicolon once each: the tie goes to the semicolon. No final line end.
        {"a\tb;c\n1\t2;3", ';', {"a\tb", "c"}, {{"1\t2", "3"}}, {2}},
        {"x\ty\tz\n1\t\t3\n", '\t', {"x", "y", "z"}, {{"1", "", "3"}}, {2}},
        // Quoted delimiters do not count; doubled quotes and line breaks inside quotes.
        {"\"n;1;2\",\"m\"\"\"\n\"a;b\",\"line\nbreak\"\n\"\"\"\",\"\"\n5,6\n",
         ',',
         {"n;1;2", "m\""},
         {{"a;b", "line\nbreak"}, {"\"", ""}, {"5", "6"}},
         {2, 4, 5}},
        // One column: no delimiter in the header; an empty field must be quoted.
        {"name\nfoo\n\"\"\n", ',', {"name"}, {{"foo"}, {""}}, {2, 3}},
    };
    for (const auto& c : cases) {
        read_result r = read_text(c.text);
        EXPECT_EQ(r.error, "") << c.text;
        EXPECT_EQ(r.delimiter, c.delimiter) << c.text;
        EXPECT_EQ(r.header, c.header) << c.text;
        EXPECT_EQ(r.records, c.expected) << c.text;
        EXPECT_EQ(r.lines, c.lines) << c.text;
    }
}

TEST(DelimitedReader, RefusalsNameFileAndLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "t.csv:1: empty file (expected a header row of column names)"},
        {"\xEF\xBB\xBF\n\r\n", "t.csv:1: empty file (expected a header row of column names)"},
        {"\na,b\n", "t.csv:1: blank line (expected the header row of column names)"},
        {std::string("\xFF\xFE"
                     "a\0,\0b\0",
                     8),
         "t.csv:1: UTF-16 text (expected UTF-8 or ASCII text; save the file as UTF-8)"},
        {"a,,b\n",
         "t.csv:1: column 2 of the header row has no name (expected a name for every column)"},
        {"a,b,a\n", "t.csv:1: column 3 of the header row repeats the name \"a\" of column 1 "
                    "(expected distinct names)"},
        {"a,b\n\"x\ny\",1\n2\n", "t.csv:4: 1 field (expected 2, as in the header row)"},
        {"a,b\n1,2,3\n", "t.csv:2: 3 fields (expected 2, as in the header row)"},
        {"a,b\n1,2\n\n3,4\n", "t.csv:3: blank line (expected a record of 2 fields; blank lines "
                              "may only end the file)"},
        {"a,b\n1,x\"y\n", "t.csv:2: quote inside an unquoted field (expected the whole field in "
                          "quotes, with inner quotes doubled)"},
        {"a,b\n\"1\"x,2\n", "t.csv:2: text after the closing quote of a field (expected a "
                            "delimiter or the line end)"},
        {"a,b\n1,2\n3,\"4\n\n", "t.csv:3: quoted field not closed (expected a closing quote "
                                "before the end of the file)"},
        {"a,b\r1,2\r", "t.csv:1: carriage return inside a line (expected LF or CRLF line ends; "
                       "put such a field in quotes)"},
    };
    for (const auto& [text, message] : cases) EXPECT_EQ(read_text(text).error, message) << text;

    delimited_reader reader;
    EXPECT_FALSE(open_delimited(reader, "/nonexistent/t.csv"));
    EXPECT_EQ(reader.error, "/nonexistent/t.csv: cannot open the file (No such file or directory)");
}

TEST(DelimitedReader, RecordsCutByRefillsAndALongRecord) {
    // Several megabytes: records, quoted fields and doubled quotes are cut at
    // every chunk boundary, and one 3 MB field makes the buffer grow.
    std::string text = "id,quoted,plain\n";
    records expected;
    std::vector<long long> lines;
    long long line = 2;
    for (int i = 0; i < 60000; i++) {
        std::string id = std::to_string(i);
        std::string inner = i == 30000 ? std::string(3 << 20, 'x') : id + ",\n" + id;
        std::string plain(i % 97, 'p');
        text += id + ",\"q\"\"" + inner + "\"," + plain + (i % 3 ? "\n" : "\r\n");
        expected.push_back({id, "q\"" + inner, plain});
        lines.push_back(line);
        line += i == 30000 ? 1 : 2;
    }
    read_result r = read_text(text);
    EXPECT_EQ(r.error, "");
    EXPECT_TRUE(r.records == expected);
    EXPECT_TRUE(r.lines == lines);
}

TEST(DelimitedReader, FirstChunkEndingAtEveryByteOfAQuotedFieldAndLineEnd) {
    // The first read fills 1 MiB; move the end of a record across it byte by byte.
    const std::size_t chunk = std::size_t{1} << 20;
    const std::string tail = ",\"x\"\"y\"\r\n";
    for (std::size_t cut = 0; cut <= tail.size(); cut++) {
        std::string pad(chunk - 4 - tail.size() + cut, 'p');
        read_result r = read_text("a,b\n" + pad + tail + "1,2\n");
        EXPECT_EQ(r.error, "");
        EXPECT_TRUE(r.records == (records{{pad, "x\"y"}, {"1", "2"}})) << cut;
        EXPECT_EQ(r.lines, (std::vector<long long>{2, 3}));
    }
}
