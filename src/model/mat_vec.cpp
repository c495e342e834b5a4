// mat_vec: out = M x for the leading nrows x ncols block of a 0-based matrix,
// each running sum stored as a real after every term.
#include "model/node_fit.h"

void mat_vec(real** M, int ncols, int nrows, const real* x, real* out) {
    for (int r = 0; r < nrows; r++) {
        out[r] = 0.0f;
        for (int k = 0; k < ncols; k++)
            out[r] = static_cast<real>(out[r] + static_cast<double>(M[r][k]) * x[k]);
    }
}
