// RAN1: uniform reals in [0, 1] from three shuffled linear congruential
// generators. The state is private and lives for the whole run.
#pragma once

#include "numeric/real.h"

// Initialises the state on the first call of the run, or when *seed is negative,
// and then sets *seed to 1.
real RAN1(int* seed);

// Forgets the state, so that the next call initialises again (for tests).
void reset_ran1();
