// The report file: the run writes it under a temporary name beside its final
// name ("infor" unless a caller chose another path) and renames it into place
// when the run completes. Every failure to create or write it is an error of
// the run.
#pragma once

#include <cstdio>

// Before growing: refuses a report name that cannot be replaced (a directory,
// or an existing file without write permission) and creates the temporary the
// report is written under. An earlier report stays as it is until
// finish_report.
void begin_report();

// Opens the report being written with mode "w" or "a"; a failure ends the run
// with an error.
std::FILE* open_report(const char* mode);

// Flushes the file; a failed write ends the run with an error.
void flush_report(std::FILE* report);

// Closes the file; a failed write or close ends the run with an error.
void close_report(std::FILE* report);

// Renames the complete report into place. Without begin_report (the report was
// written under its final name) there is nothing to do.
void finish_report();
