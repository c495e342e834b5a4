// korva-report: korva report as a program of its own.
#include "reportcommand/report_command.h"

int main(int argc, char** argv) {
    return report_main(argc, argv);
}
