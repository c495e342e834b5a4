// fatal_error, input_error, silent_exit: the ways the run ends early.
#include "numeric/fatal_error.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "numeric/console.h"
#include "numeric/progress_counts.h"
#include "numeric/stop_capture.h"
#include "numeric/stop_cleanup.h"

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
    // A report or model file still under its temporary name is not a result.
    remove_registered_files();
    close_progress();
    std::fputs(err_text.c_str(), stderr);
    // A muted console (korva fit) has not shown what the run printed: a stop
    // without a message of its own says that it happened and the last line.
    if (console_muted() && err_text.empty()) {
        const std::string last = console_last_line();
        std::fprintf(stderr, "error: the analysis stopped (exit status %d)", status & 0xff);
        if (!last.empty()) std::fprintf(stderr, "; its last message: %s", last.c_str());
        std::fputc('\n', stderr);
    }
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
