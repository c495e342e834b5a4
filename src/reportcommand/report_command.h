// korva report (also the program korva-report): reads korva's report file
// "infor" or a model file "model.json", prints the subtree table, and for a
// model the chosen subtree with its rules, outcome rates and profiles; draws
// the subtree, the cross-validation curve and the outcome profiles.
#pragma once

#include <string>

namespace CLI {
class App;
}

struct report_options {
    std::string file = "infor";
    std::string tree; // K, min or 1se; empty: 1se, or subtree 1 without cross-validation rows
    std::string dot, svg, png, names, plot, profiles;
    bool json = false;
};

// Adds FILE and the options, with their help and examples, to app (korva's
// report subcommand, or korva-report's own command line).
void add_report_options(CLI::App& app, report_options& options);

// Runs the command; returns the exit status (1 with one line "error: ..." on
// standard error for anything refused).
int run_report(const report_options& options);

// korva-report: parses its command line and runs the command.
int report_main(int argc, char** argv);
