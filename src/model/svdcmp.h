// SVDCMP: singular value decomposition a = U diag(w) V^T of a 1-based m x n
// real matrix by Householder bidiagonalisation and shifted QR sweeps.
#pragma once

#include "numeric/real.h"

#include <cmath>

// sqrt(x^2 + y^2) without destructive overflow, from the larger magnitude
// times sqrt(1 + ratio^2); the caller rounds the result. Inline: every Givens
// rotation of the decomposition takes two.
inline double hypotenuse(real x, real y) {
    const real X = std::fabs(x);
    const real Y = std::fabs(y);
    // Selects rather than branches: which one is larger is unpredictable.
    const bool x_larger = X > Y;
    const real larger = x_larger ? X : Y;
    const real smaller = x_larger ? Y : X;
    if (larger == 0.0f) return 0.0;
    const double r = static_cast<double>(smaller) / larger;
    const real r2 = static_cast<real>(r * r);
    return larger * std::sqrt(1.0 + r2);
}

// a[1..m][1..n] is replaced by U, w[1..n] receives the (unsorted) singular values
// and v[1..n][1..n] receives V. work has at least n+1 entries. Returns 1 when
// complete, 0 when a singular value did not converge in 30 sweeps.
// With with_u false, a is left as the reduction leaves it instead of holding U:
// w, v, the console text and every stop are the same, since U never feeds back
// into them (the node fit uses only w and v).
int SVDCMP(real** a, int m, int n, real* w, real** v, real* work, bool with_u = true);

// How a decomposition ended.
enum svd_outcome {
    svd_running = 0,
    svd_converged = 1,
    svd_no_convergence = 2, // a singular value took 30 sweeps
    svd_zero_divisor = 3,   // an exactly zero divisor: the run ends
};

// One square n x n decomposition without U for svd_pair, with SVDCMP's
// arguments; outcome receives how it ended.
struct svd_job {
    real** a;
    int n;
    real* w;
    real** v;
    real* work;
    int outcome;
};

// SVDCMP(a, n, n, w, v, work, false) for both jobs, interleaved, printing
// nothing and never stopping: each job's w and v are what SVDCMP leaves, and
// svd_result(outcome) then prints or stops as SVDCMP would have at its end
// and returns SVDCMP's value.
void svd_pair(svd_job& first, svd_job& second);
int svd_result(int outcome);

// SVDCMP(a, n, n, w, v, work, false) that prints nothing and never stops:
// returns how it ended (svd_converged, svd_no_convergence or svd_zero_divisor).
int svd_quiet(real** a, int n, real* w, real** v, real* work);
