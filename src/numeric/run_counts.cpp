// Definitions of the run-wide counts and arrays.
#include "numeric/run_counts.h"

int n_subjects = 0;
int n_covariates = 0;
int n_outcomes = 0;
int max_nodes = 0;
int stat_len = 0;
int n_patterns = 0;
int n_subtrees = 0;

int* col_type = nullptr;
int* cov_levels = nullptr;
real** covariate_matrix = nullptr;
int** outcome_matrix = nullptr;
real* alpha = nullptr;

void set_outcome_counts(int q) {
    n_outcomes = q;
    stat_len = (q + 4) * (q + 1) / 2;
    n_patterns = q >= 0 && q < 31 ? 1 << q : 0;
}
