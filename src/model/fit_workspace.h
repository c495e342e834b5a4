// Work storage of one node fit: the covariance/step matrix, the decomposition's
// outputs and work vector, the Newton step and the pattern statistics. Sized once
// for q outcomes and reused by every fit; fits that run at the same time each
// need their own.
#pragma once

#include "numeric/real.h"

struct fit_workspace {
    int q = 0;
    real** cov_matrix = nullptr;      // (q+2) x (q+2): covariance 1-based, then step matrix 0-based
    real** svd_v = nullptr;           // (q+2) x (q+2): right singular vectors 1-based; row 0 trial x
    real* singular_values = nullptr;  // q+2: singular values 1-based, then E and the gradient
    real* newton_step = nullptr;      // q+2
    int* pattern_bits = nullptr;      // q+2
    real* superdiagonal = nullptr;    // q+3: the decomposition's work vector
    // What the last fit did: the outcomes it retained (0 < p_j < 1), ascending,
    // and whether it reached the iteration and so wrote the normaliser.
    int n_retained = 0;
    int* retained = nullptr; // q entries
    int fitted = 0;
    // Parameter-free table of the 2^q pattern indices, filled once.
    unsigned char* pattern_table = nullptr; // 2^q rows of q bits
    int* pattern_pairs = nullptr;           // pair count of each index
};

void alloc_fit_workspace(fit_workspace& ws, int q);
void release_fit_workspace(fit_workspace& ws);
