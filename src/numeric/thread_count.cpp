// The run's thread count, and the count KORVA_THREADS asks for.
#include "numeric/thread_count.h"

#include <cstdlib>
#include <thread>

#include "numeric/fatal_error.h"
#include "numeric/printable_text.h"

int n_threads = 1;

int threads_from_environment() {
    const char* text = std::getenv("KORVA_THREADS");
    if (text == nullptr || text[0] == '\0') {
        const unsigned cores = std::thread::hardware_concurrency();
        if (cores == 0) return 1;
        return cores > static_cast<unsigned>(max_threads) ? max_threads : static_cast<int>(cores);
    }
    // Digits only: no sign, no blanks, no fraction.
    long value = 0;
    bool valid = true;
    for (const char* p = text; *p != '\0'; p++) {
        if (*p < '0' || *p > '9') {
            valid = false;
            break;
        }
        value = value * 10 + (*p - '0');
        if (value > max_threads) {
            valid = false;
            break;
        }
    }
    if (!valid || value < 1) {
        input_error("KORVA_THREADS must be a whole number from 1 to %d, not \"%s\"", max_threads,
                    printable_text(text).c_str());
    }
    return static_cast<int>(value);
}
