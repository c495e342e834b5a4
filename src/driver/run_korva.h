// run_korva: the whole run in its fixed order (dialogue, data, growing, report,
// pruning, cross-validation); returns the exit status 0.
#pragma once

int run_korva();
