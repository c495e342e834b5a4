// The program's stops: the three-line numerical fatal report (status 1), the
// "error: " line for bad input or output (status 1), and the silent status -1
// stop. None of them returns.
#pragma once

#include <string>

// Three lines on standard error, then exit status 1 through the normal exit path,
// which flushes and closes open files.
[[noreturn]] void fatal_error(const char* message);

// One line "error: <formatted text>" on standard error, then exit status 1.
[[noreturn]] void input_error(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Ends the process with status -1 (255); open files are flushed. Some callers
// print a line of their own on standard output first.
[[noreturn]] void silent_exit();

// Flushes standard output, writes err_text on standard error and ends the
// process with the status: the common end of the stops above, and how a stop
// captured in a worker thread is finally performed. In a thread that captures
// stops (numeric/stop_capture.h) it throws captured_stop instead.
[[noreturn]] void end_run(const std::string& err_text, int status);

#ifdef KORVA_FUZZ
// Fuzz builds only: when set, each of the stops above calls it with its exit
// status instead of ending the process, so that one input's stop does not end
// the fuzzer. The hook must not return (it throws).
extern void (*stop_hook)(int status);
#endif
