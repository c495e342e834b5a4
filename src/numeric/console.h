// Console text of the run's work. A thread that works on behalf of another
// (a fold worker, a split-search helper) sets a buffer; its text is then kept
// there and printed later, in the order a single thread would have printed it.
// Without a buffer the text goes straight to standard output.
#pragma once

#include <cstddef>
#include <string>

void console_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Appends text to the calling thread's buffer, or writes it to standard output.
void console_write(const std::string& text);

// Sets the calling thread's buffer; nullptr sends its text to standard output.
void set_console_buffer(std::string* buffer);

// The calling thread's buffer (nullptr: standard output).
std::string* console_buffer_now();
