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
#include "predict/predict_options.h"
#include "predict/run_predict.h"
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

const char* predict_examples = R"(
Examples:
  korva predict pbc-run/model.json examples/pbc.csv --keep id --output pbc-predicted.csv
  korva predict pbc-run/model.json new.csv --tree 2 --patterns
  korva predict votes-run/model.json examples/votes.dat --tree min

DATA is delimited text with a header row (or korva's data file, whose columns
are named "column 1", "column 2", ...). The columns the tree splits on are
found by name; other columns are ignored unless --keep copies them. Output:
one CSV row per subject, in input order: the kept columns, node (the terminal
node), p_NAME per outcome (the probability that the outcome is positive under
the node's model), loglik (the subject's log-likelihood, as cross-validation
scores a held-out case; only when every outcome column is present, empty for a
subject with a missing outcome) and with --patterns P_ followed by one 0/1
digit per outcome in outcome order (P_000, P_001, ..., P_111: patterns in
binary counting order, the first outcome the most significant digit).
A value training never had (a label never seen, a category number beyond the
column's, a missing value in a column without missing values in training)
goes to the daughter with more training cases (the left one on a tie);
standard error says how many subjects per column.)";

void add_predict(CLI::App& app, predict_options& o) {
    CLI::App* predict = app.add_subcommand(
        "predict", "Apply a subtree of a fitted model to new subjects: node, probabilities, "
                   "log-likelihood");
    predict->add_option("MODEL", o.model, "The model file written by korva fit (model.json)")
        ->required();
    predict->add_option("DATA", o.data, "Delimited text with a header row, or korva's data file")
        ->required();
    predict
        ->add_option("--tree", o.tree,
                     "Subtree to apply: its number, min or 1se (default: 1se when the model has "
                     "cross-validation rows, else 1)")
        ->type_name("K|min|1se");
    predict
        ->add_option("--output,-o", o.output, "Write the table to FILE (default: standard output)")
        ->type_name("FILE");
    predict->add_option("--keep", o.keep, "Input columns to copy to the output, comma-separated")
        ->delimiter(',')
        ->type_name("COL,...");
    predict->add_flag("--patterns", o.patterns,
                      "Add the probability of every joint outcome pattern (at most 10 outcomes)");
    predict->add_option("--na", o.na, "A further spelling of a missing cell (repeatable)")
        ->type_name("TEXT");
    predict
        ->add_option("--missing-code", o.missing_code,
                     "korva's data file: the value that marks a missing covariate (default: "
                     "the model's, when it was fitted on a data file)")
        ->type_name("X");
    predict->footer(predict_examples);
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
    predict_options predict;
    add_predict(app, predict);

    report_options report;
    add_report_options(*app.add_subcommand("report", "Read a report file or model file back: "
                                                     "the chosen subtree, its profiles, pictures"),
                       report);

    // A first word that is no option and no command is a mistyped command.
    const std::string first = argv[1];
    if (first[0] != '-' && first != "fit" && first != "predict" && first != "report") {
        std::fprintf(stderr,
                     "error: unknown command \"%s\": the commands are fit, predict and report "
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
    if (app.got_subcommand("predict")) return run_predict(predict);
    return run_report(report);
}
