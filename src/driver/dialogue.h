// dialogue: the start-up banner and the driver's own questions (data file name,
// folds, repetitions), with the checks that keep the answers usable.
#pragma once

#include <string>

void print_banner();
// "data filename ?" and the one-word answer, of any length.
std::string ask_data_file_name();
// The fold prompt; the answer must lie between 2 and n_subjects.
int ask_folds(int n_subjects);
// The repetition prompt; the answer must be 0 or more.
int ask_repeats();
