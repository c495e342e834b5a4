// Run-wide counts and arrays, set once by the data reader, the growing driver and
// pruning, and read by every subsystem. Nothing here changes while fits run.
#pragma once

#include "numeric/real.h"

extern int n_subjects;   // subjects (cases) in the data file
extern int n_covariates; // prepared covariates, missingness copies included
extern int n_outcomes;   // q
extern int max_nodes;    // capacity of a node table: min(2 n_subjects, 200)
extern int stat_len;     // (q+4)(q+1)/2 entries of a node_stats vector
extern int n_patterns;   // 2^q
extern int n_subtrees;   // length of the pruning sequence

extern int* col_type;           // type code of each data column
extern int* cov_levels;         // 1 ordered, k >= 2 nominal with categories 0..k-1
extern real** covariate_matrix; // one row per covariate, one column per subject
extern int** outcome_matrix;    // q outcome rows, then each subject's pair count
extern real* alpha;             // the pruning sequence's complexity values

// Sets stat_len and n_patterns from n_outcomes.
void set_outcome_counts(int q);
