// korva's entry point: with no arguments the interactive dialogue, otherwise a
// subcommand (korva fit, korva report).
#include <cstdio>

#include "cli/command_line.h"
#include "cli/standard_descriptors.h"
#include "driver/run_korva.h"
#include "numeric/stop_cleanup.h"

int main(int argc, char** argv) {
    // A closed standard descriptor would be given to the first file opened
    // (the report), which progress lines would then be written into.
    open_closed_standard_descriptors();
    // Progress lines appear as they are printed, also when the output is a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // An interrupted run leaves no report under a temporary name either.
    remove_files_on_signals();
    if (argc <= 1) return run_korva();
    return run_command_line(argc, argv);
}
