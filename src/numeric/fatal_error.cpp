// fatal_error, input_error, silent_exit: the ways the run ends early.
#include "numeric/fatal_error.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "numeric/stop_capture.h"

#ifdef KORVA_FUZZ
void (*stop_hook)(int status) = nullptr;
#define KORVA_STOP(status)                                                                         \
    do {                                                                                           \
        if (stop_hook != nullptr) stop_hook(status);                                               \
        std::exit(status);                                                                         \
    } while (0)
#else
#define KORVA_STOP(status) std::exit(status)
#endif

void end_run(const std::string& err_text, int status) {
    if (stops_captured()) throw captured_stop{err_text, status};
    std::fflush(stdout);
    std::fputs(err_text.c_str(), stderr);
    KORVA_STOP(status);
}

void fatal_error(const char* message) {
    std::string text = "Numerical Recipes run-time error ...\n";
    text += message;
    text += "\n...now exiting to system...\n";
    end_run(text, 1);
}

void input_error(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text = "error: ";
    if (length > 0) {
        std::string body(static_cast<size_t>(length) + 1, '\0');
        std::vsnprintf(body.data(), body.size(), format, again);
        body.resize(static_cast<size_t>(length));
        text += body;
    }
    va_end(again);
    text += '\n';
    end_run(text, 1);
}

void silent_exit() {
    end_run("", -1);
}
