// console_printf and console_write: formatted text to the calling thread's
// buffer when one is set, else to standard output.
#include "numeric/console.h"

#include <cstdarg>
#include <cstdio>

namespace {
thread_local std::string* console_buffer = nullptr;
bool muted = false;
// A muted console's text since the start of its last complete line.
std::string muted_tail;

// Keeps the last complete line and any unfinished one after it.
void keep_muted(const char* text, size_t length) {
    muted_tail.append(text, length);
    if (muted_tail.size() < 2) return;
    size_t last = muted_tail.find_last_of('\n', muted_tail.size() - 2);
    if (last != std::string::npos) muted_tail.erase(0, last + 1);
}
} // namespace

void mute_console(bool on) {
    muted = on;
    muted_tail.clear();
}

bool console_muted() {
    return muted;
}

std::string console_last_line() {
    std::string line = muted_tail;
    while (!line.empty() && line.back() == '\n') line.pop_back();
    return line;
}

void set_console_buffer(std::string* buffer) {
    console_buffer = buffer;
}

void console_write(const std::string& text) {
    if (console_buffer != nullptr)
        console_buffer->append(text);
    else if (muted)
        keep_muted(text.data(), text.size());
    else
        std::fwrite(text.data(), 1, text.size(), stdout);
}

void console_printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    if (console_buffer == nullptr && !muted) {
        std::vprintf(format, args);
        va_end(args);
        return;
    }
    char local[256];
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(local, sizeof local, format, args);
    va_end(args);
    if (length >= 0 && static_cast<size_t>(length) < sizeof local) {
        if (console_buffer != nullptr)
            console_buffer->append(local, static_cast<size_t>(length));
        else
            keep_muted(local, static_cast<size_t>(length));
    } else if (length > 0) {
        std::string text(static_cast<size_t>(length) + 1, '\0');
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<size_t>(length));
        console_write(text);
    }
    va_end(again);
}

std::string* console_buffer_now() {
    return console_buffer;
}
