// korva report (and korva-report): reads a report file, prints the subtree
// table with the lowest-mean and one-standard-error choices, and draws the
// chosen subtree and the cross-validation curve. Returns the exit status.
#pragma once

int report_main(int argc, char** argv);
