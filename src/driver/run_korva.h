// run_korva: the whole run in its fixed order (dialogue, data, growing, report,
// pruning, cross-validation); returns the exit status 0.
#pragma once

int run_korva();

// The run's first steps: banner, data file name, the data file reader (with
// its dialogue and summaries), the fold and repetition answers, and max_nodes.
// Returns cov_column.
int* read_run_answers(int* n_folds, int* n_repeats);
