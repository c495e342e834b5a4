// data_file_input: korva's data file read value by value, for prediction: the
// header "n p q", the type row, then n records of p + q values. Its columns
// are named "column 1", "column 2", ... as korva fit names them.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "data/formatted_input.h"

struct data_file_input {
    std::string name;
    std::FILE* file = nullptr;
    formatted_input in;
    int subjects = 0;
    std::vector<int> type;           // per column: the type row's code
    std::vector<std::string> header; // "column 1", ...

    data_file_input() = default;
    data_file_input(const data_file_input&) = delete;
    data_file_input& operator=(const data_file_input&) = delete;
    ~data_file_input();
};

// Opens the file and reads the header and the type row. Throws predict_error.
void open_data_file_input(data_file_input& input, const std::string& path);

// The next value (valid until the next call), of record `record` and column
// `column` (both from 0, for the message when the file ends early). Throws
// predict_error.
std::string_view next_data_value(data_file_input& input, int record, int column);

// Throws predict_error when anything follows the last record.
void check_data_file_end(data_file_input& input);

// "FILE:LINE" of the value read last, for messages.
std::string data_value_place(data_file_input& input);
