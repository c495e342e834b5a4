// library_rounded_exp: the library's exp rounded to a real, the slow path of
// rounded_exp.
#include "model/rounded_exp.h"

real library_rounded_exp(double x) {
    return static_cast<real>(std::exp(x));
}
