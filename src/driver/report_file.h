// The report file "infor": opening it for a stage and closing it again, with
// every failure to create or write it reported as an error of the run.
#pragma once

#include <cstdio>

inline constexpr const char* report_file_name = "infor";

// Makes sure "infor" can be written, without truncating an earlier report:
// opened for appending and closed again at once.
void check_report_writable();

// Opens "infor" with mode "w" or "a"; a failure ends the run with an error.
std::FILE* open_report(const char* mode);

// Flushes the file; a failed write ends the run with an error.
void flush_report(std::FILE* report);

// Closes the file; a failed write or close ends the run with an error.
void close_report(std::FILE* report);
