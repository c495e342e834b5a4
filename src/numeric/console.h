// Console text of the run's work. A thread that works on behalf of another
// (a fold worker, a split-search helper) sets a buffer; its text is then kept
// there and printed later, in the order a single thread would have printed it.
// Without a buffer the text goes straight to standard output, unless the
// console is muted (korva fit reports to its user in its own words).
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

// Run-wide: a muted console prints nothing; of its text only the last
// complete line (and any unfinished one) is kept, so that a stop can still say
// what the run printed last. Set before the run's work starts.
void mute_console(bool on);
bool console_muted();
// The kept text of a muted console: its last line.
std::string console_last_line();
