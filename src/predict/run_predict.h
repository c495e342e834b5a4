// korva predict: the chosen subtree of a fitted model applied to new subjects,
// one CSV row per subject on standard output or in --output FILE (written
// under a temporary name and renamed when complete). Returns the exit status;
// bad input ends the run with one error line and status 1.
#pragma once

#include "predict/predict_options.h"

int run_predict(const predict_options& options);
