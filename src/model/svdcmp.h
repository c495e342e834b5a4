// SVDCMP: singular value decomposition a = U diag(w) V^T of a 1-based m x n
// real matrix by Householder bidiagonalisation and shifted QR sweeps.
#pragma once

#include "numeric/real.h"

// sqrt(x^2 + y^2) without destructive overflow; the caller rounds the result.
double hypotenuse(real x, real y);

// a[1..m][1..n] is replaced by U, w[1..n] receives the (unsorted) singular values
// and v[1..n][1..n] receives V. work has at least n+1 entries. Returns 1 when
// complete, 0 when a singular value did not converge in 30 sweeps.
int SVDCMP(real** a, int m, int n, real* w, real** v, real* work);
