// fatal_error, input_error, silent_exit: the ways the run ends early.
#include "numeric/fatal_error.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void fatal_error(const char* message) {
    std::fflush(stdout);
    std::fputs("Numerical Recipes run-time error ...\n", stderr);
    std::fprintf(stderr, "%s\n", message);
    std::fputs("...now exiting to system...\n", stderr);
    std::exit(1);
}

void input_error(const char* format, ...) {
    std::fflush(stdout);
    std::fputs("error: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    std::exit(1);
}

void silent_exit() { std::exit(-1); }
