// run_command_line: korva's subcommands on one command line (CLI11), each with
// its own help and examples; a command line that cannot be used is one error
// line and exit status 1, as every other bad input of korva.
#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>
#include <vector>

#include "fit/fit_options.h"
#include "fit/run_fit.h"
#include "numeric/printable_text.h"
#include "numeric/thread_count.h"
#include "reportcommand/report_command.h"

#ifndef KORVA_VERSION
#define KORVA_VERSION "unknown"
#endif

namespace {

const char* fit_examples = R"(
Examples:
  korva fit examples/pbc.csv --outcomes ascites,hepato,spiders --ignore id \
      --nominal sex --ordinal edema,stage --out pbc-run
  korva fit data.csv --outcomes y1,y2,y3 --folds 10 --repeats 20 --threads 2
  korva fit examples/pbc.dat --missing-code -9 --repeats 3
  korva fit examples/votes.csv --outcomes V3,V4,V8,V14 --model pairwise \
      --fold-file examples/folds/votes.folds

DATA is delimited text (comma, semicolon or tab, found from the header row)
with a header row of column names, or korva's own data file (a first line of
three whole numbers). In delimited text a missing covariate is an empty cell or
NA; outcomes are 0/1, TRUE/FALSE or yes/no. Columns not named are continuous,
unless they hold text, which makes them nominal. The run writes DIR/infor, the
same report the dialogue writes, and replaces an earlier one only when it is
complete.)";

void add_fit(CLI::App& app, fit_options& o) {
    CLI::App* fit = app.add_subcommand(
        "fit", "Grow, prune and cross-validate a tree on a data file, without questions");
    fit->add_option("DATA", o.data, "Delimited text with a header row, or korva's data file")
        ->required();
    fit->add_option("--outcomes", o.outcomes, "Outcome columns, comma-separated (delimited text)")
        ->delimiter(',')
        ->type_name("A,B,...");
    fit->add_option("--nominal", o.nominal, "Columns to take as nominal")
        ->delimiter(',')
        ->type_name("COLS");
    fit->add_option("--ordinal", o.ordinal, "Columns to take as ordinal")
        ->delimiter(',')
        ->type_name("COLS");
    fit->add_option("--ignore", o.ignore, "Columns to read and ignore")
        ->delimiter(',')
        ->type_name("COLS");
    fit->add_option("--na", o.na, "A further spelling of a missing cell (repeatable)")
        ->type_name("TEXT");
    fit->add_option("--missing-code", o.missing_code,
                    "korva's data file: the value that marks a missing covariate")
        ->type_name("X");
    fit->add_option("--folds", o.folds, "Folds of cross-validation (at least 2)")
        ->capture_default_str()
        ->type_name("K");
    fit->add_option("--repeats", o.repeats, "Repetitions of the cross-validation (0 or more)")
        ->capture_default_str()
        ->type_name("R");
    fit->add_option("--model", o.model,
                    "Node model: common (one association for all pairs of outcomes) or pairwise "
                    "(one per pair)")
        ->capture_default_str()
        ->check(CLI::IsMember({"common", "pairwise"}))
        ->type_name("NAME");
    fit->add_option("--fold-file", o.fold_file,
                    "Folds given: one line per subject, one fold (from 1) per repetition")
        ->type_name("FILE");
    fit->add_option("--fold-column", o.fold_columns,
                    "Folds given as columns of the data (one per repetition, comma-separated)")
        ->delimiter(',')
        ->type_name("COLS");
    fit->add_option("--threads", o.threads,
                    "Threads to use (default: KORVA_THREADS, else one per core)")
        ->check(CLI::Range(1, max_threads))
        ->type_name("N");
    fit->add_option("--out", o.out, "Directory for the results (created if missing)")
        ->capture_default_str()
        ->type_name("DIR");
    fit->add_flag("--quiet,-q", o.quiet, "No progress on standard error");
    fit->footer(fit_examples);
}

} // namespace

int run_command_line(int argc, char** argv) {
    CLI::App app{"korva: trees of several binary outcomes at once.\n"
                 "Without arguments korva asks its questions on standard input (the dialogue).",
                 "korva"};
    app.set_version_flag("--version", "korva " KORVA_VERSION);
    app.require_subcommand(1);
    app.footer("Run 'korva COMMAND --help' for the options and examples of a command.");

    fit_options fit;
    add_fit(app, fit);

    report_options report;
    add_report_options(*app.add_subcommand("report", "Read a report file or model file back: "
                                                     "the chosen subtree, its profiles, pictures"),
                       report);

    // A first word that is no option and no command is a mistyped command.
    const std::string first = argv[1];
    if (first[0] != '-' && first != "fit" && first != "report") {
        std::fprintf(stderr,
                     "error: unknown command \"%s\": the commands are fit and report "
                     "(see korva --help)\n",
                     printable_text(first).c_str());
        return 1;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::string command = "korva";
        for (CLI::App* sub : app.get_subcommands()) command += " " + sub->get_name();
        std::fprintf(stderr, "error: %s (see %s --help)\n", e.what(), command.c_str());
        return 1;
    }

    if (app.got_subcommand("fit")) {
        CLI::App* sub = app.get_subcommand("fit");
        fit.folds_given = sub->count("--folds") > 0;
        fit.repeats_given = sub->count("--repeats") > 0;
        return run_fit(fit);
    }
    return run_report(report);
}
