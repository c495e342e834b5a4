// console_printf and console_write: formatted text to the calling thread's
// buffer when one is set, else to standard output.
#include "numeric/console.h"

#include <cstdarg>
#include <cstdio>

namespace {
thread_local std::string* console_buffer = nullptr;
}

void set_console_buffer(std::string* buffer) {
    console_buffer = buffer;
}

void console_write(const std::string& text) {
    if (console_buffer != nullptr)
        console_buffer->append(text);
    else
        std::fwrite(text.data(), 1, text.size(), stdout);
}

void console_printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    if (console_buffer == nullptr) {
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
        console_buffer->append(local, static_cast<size_t>(length));
    } else if (length > 0) {
        std::string text(static_cast<size_t>(length) + 1, '\0');
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<size_t>(length));
        console_buffer->append(text);
    }
    va_end(again);
}

std::string* console_buffer_now() {
    return console_buffer;
}
