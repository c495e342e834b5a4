// korva fit: a whole analysis without questions (read, grow, report, prune,
// cross-validate), with a summary for people on standard output and progress
// on standard error. Returns the exit status; errors end the run as the
// dialogue's do (one error line, status 1).
#pragma once

#include "fit/fit_options.h"

int run_fit(const fit_options& options);
