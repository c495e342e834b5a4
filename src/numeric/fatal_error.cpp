// fatal_error, input_error, silent_exit: the ways the run ends early.
#include "numeric/fatal_error.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

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

void fatal_error(const char* message) {
    std::fflush(stdout);
    std::fputs("Numerical Recipes run-time error ...\n", stderr);
    std::fprintf(stderr, "%s\n", message);
    std::fputs("...now exiting to system...\n", stderr);
    KORVA_STOP(1);
}

void input_error(const char* format, ...) {
    std::fflush(stdout);
    std::fputs("error: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    KORVA_STOP(1);
}

void silent_exit() {
    KORVA_STOP(-1);
}
