// hypotenuse: sqrt(x^2 + y^2) from the larger magnitude times sqrt(1 + ratio^2),
// so that neither square overflows or underflows on its own.
#include <cmath>

#include "model/svdcmp.h"

double hypotenuse(real x, real y) {
    const real X = std::fabs(x);
    const real Y = std::fabs(y);
    if (X > Y) {
        const double r = static_cast<double>(Y) / X;
        const real r2 = static_cast<real>(r * r);
        return X * std::sqrt(1.0 + r2);
    }
    if (Y == 0.0f) return 0.0;
    const double r = static_cast<double>(X) / Y;
    const real r2 = static_cast<real>(r * r);
    return Y * std::sqrt(1.0 + r2);
}
