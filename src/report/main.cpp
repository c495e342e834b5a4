// korva-report: the report reader as a program of its own (also `korva report`).
#include "report/report_main.h"

int main(int argc, char** argv) {
    return report_main(argc, argv);
}
