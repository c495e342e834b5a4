// korva's entry point: one complete analysis, driven by the dialogue on
// standard input.
#include "driver/run_korva.h"

int main() { return run_korva(); }
