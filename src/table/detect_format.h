// detect_format: whether a data file is korva's own numeric format or
// delimited text with a header row, judged from its first line.
#pragma once

#include <string>
#include <string_view>

enum data_format {
    format_data_file, // korva's data file: "n p q", the type row, the records
    format_delimited, // delimited text with a header row of column names
};

// The rule: korva's data file begins (after any blank lines) with the header
// counts "n p q", whole numbers separated by white space, and line breaks carry
// no meaning in it. So a file whose first non-blank line holds only numbers
// separated by blanks or tabs, the first of them a whole number, is a data
// file; anything else (a comma or semicolon on that line, a name, a byte-order
// mark, an empty file) is delimited text. Only the first 64 KiB are looked at;
// a token cut there is not judged. A header row of numeric column names
// separated by tabs or blanks would be taken for a data file.
data_format format_of_text(std::string_view start);

// The format of the file at path; false, with error "FILE: ...", when it
// cannot be opened or read.
bool detect_format(const std::string& path, data_format& format, std::string& error);
