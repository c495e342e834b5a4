// RAN1: fills one uniform real from the generator state and the seed.
#include "numeric/ran1.h"

#include "numeric/fatal_error.h"

namespace {

constexpr int M1 = 259200, IA1 = 7141, IC1 = 54773;
constexpr int M2 = 134456, IA2 = 8121, IC2 = 28411;
constexpr int M3 = 243000, IA3 = 4561, IC3 = 51349;
constexpr double RM1 = 1.0 / M1;
constexpr double RM2 = 1.0 / M2;

int x1 = 0, x2 = 0, x3 = 0;
real shuffle_table[98];
int initialised = 0;

real value_of(int a, int b) {
    return static_cast<real>((a + b * RM2) * RM1);
}

} // namespace

real RAN1(int* seed) {
    if (*seed < 0 || initialised == 0) {
        initialised = 1;
        x1 = (IC1 - *seed) % M1;
        x1 = (IA1 * x1 + IC1) % M1;
        x2 = x1 % M2;
        x1 = (IA1 * x1 + IC1) % M1;
        x3 = x1 % M3;
        for (int j = 1; j <= 97; j++) {
            x1 = (IA1 * x1 + IC1) % M1;
            x2 = (IA2 * x2 + IC2) % M2;
            shuffle_table[j] = value_of(x1, x2);
        }
        *seed = 1;
    }
    x1 = (IA1 * x1 + IC1) % M1;
    x2 = (IA2 * x2 + IC2) % M2;
    x3 = (IA3 * x3 + IC3) % M3;
    int j = 1 + (97 * x3) / M3;
    if (j > 97 || j < 1) fatal_error("RAN1: This cannot happen.");
    real out = shuffle_table[j];
    shuffle_table[j] = value_of(x1, x2);
    return out;
}

void reset_ran1() {
    initialised = 0;
}
