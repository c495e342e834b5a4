// add_report_options and report_main: korva report's command line (CLI11),
// shared by korva's report subcommand and the program korva-report.
#include <CLI/CLI.hpp>

#include <cstdio>

#include "reportcommand/report_command.h"

namespace {

const char* report_examples = R"(
Examples:
  korva report pbc-run/model.json                  the chosen subtree, its rules and profiles
  korva report pbc-run/model.json --tree min --svg tree.svg --profiles profiles.svg
  korva report pbc-run/model.json --json > subtree.json
  korva report pbc-run/infor --plot cv.svg         the cross-validation curve
  korva report infor --tree 2 --names names.txt --png tree.png

FILE is korva's report file (infor) or the model file korva fit writes
(model.json); they are told apart by their content. Without --tree the
subtree is the one-standard-error choice, or subtree 1 (the largest) when the
file has no cross-validation rows. Pictures go only into files named for what
they hold: .svg for --svg, --plot and --profiles, .png for --png, .dot or .gv
for --dot. --svg and --png need Graphviz's dot.)";

} // namespace

void add_report_options(CLI::App& app, report_options& o) {
    app.add_option("FILE", o.file, "Report file (infor) or model file (model.json)")
        ->capture_default_str();
    app.add_option("--tree", o.tree,
                   "Subtree to show and draw: its number, min or 1se (default 1se)")
        ->type_name("K|min|1se");
    app.add_option("--dot", o.dot, "Write the subtree as a Graphviz DOT graph")
        ->type_name("FILE.dot");
    app.add_option("--svg", o.svg, "Draw the subtree as SVG (Graphviz's dot)")
        ->type_name("FILE.svg");
    app.add_option("--png", o.png, "Draw the subtree as PNG (Graphviz's dot)")
        ->type_name("FILE.png");
    app.add_option("--plot", o.plot, "Draw the cross-validation curve as SVG")
        ->type_name("FILE.svg");
    app.add_option("--profiles", o.profiles,
                   "Model file: draw the terminal nodes' outcome rates as an SVG heat map")
        ->type_name("FILE.svg");
    app.add_option("--names", o.names,
                   "Names of the data columns: a CSV header row, or names separated by blanks")
        ->type_name("FILE");
    app.add_flag("--json", o.json, "Print the text view as JSON instead");
    app.footer(report_examples);
}

int report_main(int argc, char** argv) {
    CLI::App app{"korva-report: reads korva's report file or model file back (as korva report)",
                 "korva-report"};
    report_options options;
    add_report_options(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "error: %s (see korva-report --help)\n", e.what());
        return 1;
    }
    return run_report(options);
}
