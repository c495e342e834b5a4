// Work storage of one node fit: the covariance/step matrix, the decomposition's
// outputs and work vector, the Newton step and the pattern statistics. Sized once
// for q outcomes and reused by every fit; fits that run at the same time each
// need their own.
#pragma once

#include "model/pairwise_fit.h"
#include "numeric/real.h"

struct fit_workspace {
    int q = 0;
    real** cov_matrix = nullptr;     // (q+2) x (q+2): covariance 1-based, then step matrix 0-based
    real** svd_v = nullptr;          // (q+2) x (q+2): right singular vectors 1-based; row 0 trial x
    real* singular_values = nullptr; // q+2: singular values 1-based, then E and the gradient
    real* newton_step = nullptr;     // q+2
    int* pattern_bits = nullptr;     // q+2
    real* superdiagonal = nullptr;   // q+3: the decomposition's work vector
    // What the last fit did: the outcomes it retained (0 < p_j < 1), ascending,
    // and whether it reached the iteration and so wrote the normaliser.
    int n_retained = 0;
    int* retained = nullptr; // q entries
    int fitted = 0;
    // How the last iteration ended: the passes it ran and the rule that stopped it.
    int passes = 0;
    int stop_rule = 0;     // one of the fit_stop values
    int capped_trials = 0; // trial points at which some exponent was capped at 50
    // A quiet fit (the split search's) prints nothing and never stops the run:
    // where a fit would stop, it sets failed and returns value 0 instead.
    int quiet = 0;
    int failed = 0;
    // Parameter-free table of the 2^q pattern indices, filled once: bit j of
    // index i as a real 0 or 1 (row i at pattern_table + i*pattern_stride, the
    // stride q rounded up to a multiple of 4, padding 0) and the pair count
    // s(s-1)/2 of the index.
    int pattern_stride = 0;
    real* pattern_table = nullptr; // 2^q rows of pattern_stride entries
    int* pattern_pairs = nullptr;  // 2^q
    // 2^(j/128), j = 0 .. 127, for the pattern sum's exponentials.
    double* exp_table = nullptr;
    // Per-call scratch of the pattern sum: the outcome part of each exponent and
    // each pattern's rounded exp.
    double* pattern_eta = nullptr; // 2^q
    real* pattern_exp = nullptr;   // 2^q
    // The pairwise model's storage, allocated only when that model is the
    // run's (node_model); its last fit's parameters and log normaliser.
    pairwise_workspace pairwise;
};

// Why newton_fit stopped.
enum fit_stop {
    fit_stop_none = 0,     // the iteration did not run (no fit, or R <= 0)
    fit_stop_gradient = 1, // G <= 0.001 R: converged
    fit_stop_step = 2,     // the step's squared norm fell to 1e-6 or below
    fit_stop_passes = 3,   // 31 passes ran
};

// Sizes the storage for q outcomes and for the model selected in node_model,
// which must be set first.
void alloc_fit_workspace(fit_workspace& ws, int q);
void release_fit_workspace(fit_workspace& ws);
