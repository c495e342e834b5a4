// delimited_reader: streams a delimited text file (comma, semicolon or tab
// separated, quoted fields as in RFC 4180) record by record after its header row.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// One open file. Memory is a read buffer of a few megabytes (more only for a
// single record longer than that), whatever the number of records.
//
// The file:
// - An optional UTF-8 byte-order mark, then the header row, then the records.
// - Lines end in LF or CRLF; the last line may lack its line end. A carriage
//   return elsewhere outside quotes is refused.
// - The delimiter is the one of comma, semicolon and tab that occurs most often
//   in the header row outside quotes; a tie goes to the first of them in that
//   order (comma, semicolon, tab). A header row with none of them is one column.
// - A field is either unquoted (no quote in it at all) or wholly enclosed in
//   quotes; inside quotes a doubled quote stands for one quote, and delimiters
//   and line breaks are part of the field.
// - Every record has as many fields as the header row. Blank lines (nothing,
//   or only spaces and tabs, outside quotes) at the end of the file are
//   ignored; a blank line before a record is refused. (In a one-column file an
//   empty field is written "".)
// - Header names are unquoted like fields, stripped of leading and trailing
//   blanks, and must be non-empty and distinct.
struct delimited_reader {
    std::string name;                     // the file's name in messages
    char delimiter = ',';                 // detected from the header row
    std::vector<std::string> header;      // the column names
    std::vector<std::string_view> fields; // the current record, valid until the next call
    long long line = 0;                   // physical line (from 1) where the current record starts
    std::string error;                    // after a failure: "FILE:LINE: what is wrong (expected)"

    // Reading state.
    struct field_span {
        std::size_t offset; // from the record's start, or into unquoted
        std::size_t size;
        bool in_unquoted; // an unescaped copy of a field with doubled quotes
    };
    std::FILE* file = nullptr;
    bool owns_file = false;
    std::vector<char> buffer; // one byte beyond end holds a line feed that stops scans
    std::size_t pos = 0;      // start of the next record
    std::size_t end = 0;      // one past the last byte read
    bool at_end = false;      // the file has nothing more to give
    long long next_line = 1;  // physical line at pos
    std::string unquoted;     // unescaped fields of the current record
    std::vector<field_span> spans;
    unsigned char stops[256] = {}; // nonzero for the bytes that end an unquoted run

    delimited_reader() = default;
    delimited_reader(const delimited_reader&) = delete;
    delimited_reader& operator=(const delimited_reader&) = delete;
    ~delimited_reader();
};

// Opens the file and reads its header row. False, with reader.error set, when
// the file cannot be opened or read, is empty, or its header row is refused.
bool open_delimited(delimited_reader& reader, const std::string& path);

// The same on a stream already open (not closed by the reader); name is used in messages.
bool open_delimited_stream(delimited_reader& reader, std::FILE* file, const std::string& name);

enum record_status {
    record_ok,    // reader.fields and reader.line hold the next record
    record_end,   // no record left
    record_error, // reader.error says what is wrong
};

record_status next_record(delimited_reader& reader);
