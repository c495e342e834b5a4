// korva's entry point: one complete analysis, driven by the dialogue on
// standard input.
#include <cstdio>

#include "driver/run_korva.h"

int main() {
    // Progress lines appear as they are printed, also when the output is a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    return run_korva();
}
