// Upper bounds on the node value of a set of cases that need no fit.
//
// The node value is n times the mean log-likelihood of the cases under a
// distribution P over the response patterns (a sub-distribution when outcomes
// are removed, whose 2^q-index sum weighs each retained pattern 2^(q-m)
// times). Two bounds follow:
//
// - Pattern frequencies (Gibbs' inequality): for the empirical distribution f
//   of the cases' patterns, sum_p f_p ln P(p) <= sum_p f_p ln f_p for every
//   P, so n * sum_p f_p ln f_p bounds every fitted value.
// - Tilted: the model is the exponential family of the outcomes and the pair
//   count, so its largest mean log-likelihood is minus the largest entropy of
//   a distribution with the cases' outcome means and mean pair count. Any
//   distribution g with those moments has no more entropy, so
//   n * sum_p g_p ln g_p bounds every fitted value too. g is found by tilting
//   a model distribution h at nearby parameters linearly,
//   g_p = h_p (1 + lambda . (T(p) - mean_h)), with lambda from h's covariance
//   so that the moments come out exactly; where that leaves a negative entry,
//   g is mixed with f (whose moments are the same) just enough to make every
//   entry non-negative.
//
// Both are exact statements about reals; bound_margin in the split search
// covers the rounding of a fitted value against them.
#pragma once

#include "numeric/real.h"

// table[c] = c ln c for c = 0 .. n (0 ln 0 = 0).
void fill_count_log_table(double* table, int n);

// n * sum_p f_p ln f_p = sum_p c_p ln c_p - n ln n over the n_patterns counts
// c_p of a set of n cases; at most 0.
double pattern_frequency_bound(const int* counts, int n_patterns, int n, const double* count_log);

// The same for counts whole_p - part_p (the right side of a split).
double pattern_frequency_bound_rest(const int* whole, const int* part, int n_patterns, int n,
                                    const double* count_log);

// A model distribution h over the 2^q patterns to tilt from, with its
// moments and the Cholesky factor of its covariance (q+1 statistics: the
// outcomes, then the pair count).
struct tilt_reference {
    int q = 0;
    int valid = 0;
    double* h = nullptr;      // 2^q
    double* mean = nullptr;   // q+1
    double* factor = nullptr; // (q+1) x (q+1), lower triangle
    double* work = nullptr;   // 2^q
    int* pairs = nullptr;     // 2^q: the pair count of each pattern
};

void alloc_tilt_reference(tilt_reference& ref, int q);
void release_tilt_reference(tilt_reference& ref);
void copy_tilt_reference(tilt_reference& to, const tilt_reference& from);

// h at fitted parameters theta_0 .. theta_{q-1}, omega (every outcome
// retained). Leaves the reference invalid when its covariance is too close to
// singular to tilt with, and for q < 3, where the moments already determine
// the pattern distribution and the tilted bound would be the pattern bound.
void set_tilt_reference(tilt_reference& ref, const real* params);

// n * sum_p g_p ln g_p for the cases summarised by stats (n cases, pattern
// counts given as whole - part, part null for whole alone). Returns +infinity
// when no g can be formed (invalid reference, or a negative tilted entry on a
// pattern no case has).
double tilted_bound(tilt_reference& ref, const int* stats, int n, const int* whole,
                    const int* part);
