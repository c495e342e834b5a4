// run_fit: the batch analysis in the dialogue run's order, on the same engine
// and with the same random stream, writing DIR/infor under a temporary name
// until it is complete.
#include "fit/run_fit.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cv/cv_settings.h"
#include "driver/report_file.h"
#include "driver/run_analysis.h"
#include "driver/run_warnings.h"
#include "fit/load_fit_data.h"
#include "fit/print_data_summary.h"
#include "fit/progress_display.h"
#include "folds/read_fold_columns.h"
#include "folds/read_fold_file.h"
#include "model/fit_workspace.h"
#include "model/node_model.h"
#include "modelfile/build_model.h"
#include "modelfile/model_json.h"
#include "numeric/arrays.h"
#include "numeric/console.h"
#include "numeric/fatal_error.h"
#include "numeric/printable_text.h"
#include "numeric/report_path.h"
#include "numeric/run_counts.h"
#include "numeric/staged_file.h"
#include "numeric/thread_count.h"
#include "prune/prune_sequence.h"
#include "report/report.h"

#ifndef KORVA_VERSION
#define KORVA_VERSION "unknown"
#endif
#include "tree/node_table.h"

namespace {

// Creates DIR and any missing parents; an existing directory is fine.
void make_output_directory(const std::string& dir) {
    std::string path;
    size_t start = 0;
    while (start <= dir.size()) {
        size_t slash = dir.find('/', start);
        if (slash == std::string::npos) slash = dir.size();
        path = dir.substr(0, slash);
        start = slash + 1;
        if (path.empty()) continue;
        struct stat st {};
        if (stat(path.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode))
                input_error("--out %s: \"%s\" exists and is not a directory",
                            printable_text(dir, 4096).c_str(), printable_text(path, 4096).c_str());
            continue;
        }
        if (mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
            input_error("--out %s: cannot create directory \"%s\": %s",
                        printable_text(dir, 4096).c_str(), printable_text(path, 4096).c_str(),
                        std::strerror(errno));
    }
}

std::string in_directory(const std::string& dir, const char* name) {
    if (dir.empty() || dir == ".") return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

// The cross-validation table of the finished report, as korva report prints
// it from the model file (with the mark of too few held-out subjects).
void print_cv_table(const std::string& report, int folds, int subjects) {
    report_file rep;
    std::string error;
    if (!read_report(report, rep, error)) input_error("%s", error.c_str());
    cv_summary sum;
    summarize_cv(rep, sum);
    sum.folds = folds;
    sum.subjects = subjects;
    print_table(std::cout, rep, sum);
    std::cout.flush();
}

// Every repetition's scores, kept for the model file: one block, taken before
// the work starts, so that a count too large for memory is refused at once.
struct score_rows {
    real* block = nullptr;
    real** row = nullptr;
    score_rows(int repeats, int subtrees) {
        if (repeats <= 0) return;
        const double bytes =
            static_cast<double>(repeats) * (subtrees * sizeof(real) + sizeof(real*));
        block = static_cast<real*>(std::malloc(static_cast<size_t>(repeats) *
                                               static_cast<size_t>(subtrees) * sizeof(real)));
        row = static_cast<real**>(std::malloc(static_cast<size_t>(repeats) * sizeof(real*)));
        if (block == nullptr || row == nullptr)
            input_error("the model file keeps every repetition's scores: %d repetitions of %d "
                        "subtrees need %.1f GB, more than there is memory for; use fewer "
                        "repetitions",
                        repeats, subtrees, bytes / 1e9);
        for (int r = 0; r < repeats; r++) row[r] = block + static_cast<size_t>(r) * subtrees;
    }
    ~score_rows() {
        std::free(block);
        std::free(row);
    }
    score_rows(const score_rows&) = delete;
    score_rows& operator=(const score_rows&) = delete;
};

// Writes the model text to its temporary; a failure ends the run.
void write_model_text(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    bool ok = file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file != nullptr && std::fclose(file) != 0) ok = false;
    if (!ok)
        input_error("cannot write the model file \"%s\": %s", printable_text(path, 4096).c_str(),
                    std::strerror(errno));
}

// The folds the user gave (a fold file, or columns of the table): sets the
// run's given folds and returns their counts in folds and repeats, which
// --folds and --repeats, when given, must agree with. Returns how the model
// file names their source.
std::string set_user_folds(const fit_options& options, int& folds, int& repeats) {
    std::vector<int> table;
    int n_repeats = 0;
    int n_folds = 0;
    std::string message;
    std::string source;
    if (!options.fold_file.empty()) {
        if (!read_fold_file(options.fold_file, n_subjects, table, n_repeats, n_folds, message))
            input_error("%s", message.c_str());
        source = options.fold_file;
    } else {
        if (!read_fold_columns(options.data, options.fold_columns, n_subjects, table, n_repeats,
                               n_folds, message))
            input_error("%s", message.c_str());
        source = "columns";
        for (const std::string& name : options.fold_columns) source += " " + name;
        source += " of " + options.data;
    }
    if (options.folds_given && options.folds != n_folds)
        input_error("--folds %d, but the given folds number %d", options.folds, n_folds);
    if (options.repeats_given && options.repeats != n_repeats)
        input_error("--repeats %d, but the given folds have %d repetition%s", options.repeats,
                    n_repeats, n_repeats == 1 ? "" : "s");
    set_given_folds(table.data(), n_repeats, n_folds);
    folds = n_folds;
    repeats = n_repeats;
    return source;
}

} // namespace

int run_fit(const fit_options& given) {
    fit_options options = given;
    n_threads = options.threads > 0 ? options.threads : threads_from_environment();
    // Set before any fit's work storage is sized.
    node_model = options.model == "pairwise" ? node_model_pairwise : node_model_common;
    if (!options.fold_file.empty() && !options.fold_columns.empty())
        input_error("--fold-file and --fold-column both give the folds: give one of them");
    // Fold columns are no covariates.
    std::string message;
    if (!options.fold_columns.empty() &&
        !check_fold_column_names(options.data, options.fold_columns, message))
        input_error("%s", message.c_str());
    options.ignore.insert(options.ignore.end(), options.fold_columns.begin(),
                          options.fold_columns.end());
    // The engine's console text is the dialogue's; korva fit speaks for itself.
    mute_console(true);
    if (options.folds < 2) input_error("--folds %d: there must be at least 2 folds", options.folds);
    if (options.repeats < 0)
        input_error("--repeats %d: the number of repetitions must be 0 or more", options.repeats);

    data_description description;
    int* cov_column = load_fit_data(options, description);
    const std::string refusal = node_model_refusal(node_model, n_outcomes);
    if (!refusal.empty()) input_error("--model %s: %s", options.model.c_str(), refusal.c_str());
    std::string folds_from = "drawn";
    if (!options.fold_file.empty() || !options.fold_columns.empty()) {
        if (!options.fold_columns.empty() && description.format == "korva data file")
            input_error("--fold-column names columns of delimited text; give the folds of a "
                        "data file with --fold-file");
        folds_from = set_user_folds(options, options.folds, options.repeats);
    }
    if (options.folds > n_subjects)
        input_error("--folds %d: more folds than subjects (%d)", options.folds, n_subjects);
    print_data_summary(stdout, description);
    std::fflush(stdout);
    warn_about_folds(n_subjects, options.folds);
    std::vector<std::string> names;
    for (const column_description& col : description.columns) names.push_back(col.name);
    warn_about_nominal_covariates(cov_column, names);

    make_output_directory(options.out);
    set_report_name(in_directory(options.out, "infor"));
    max_nodes = n_subjects > 100 ? 200 : 2 * n_subjects;

    node_table nodes;
    alloc_node_table(nodes);
    fit_workspace fit;
    alloc_fit_workspace(fit, n_outcomes);
    split_workspace split;
    alloc_split_workspace(split);
    int cv_seed = 13;

    // The model file is staged from the start, so that a directory where it
    // cannot be written is found before the work.
    const std::string model_path = in_directory(options.out, "model.json");
    const std::string model_temp = create_staged_file(model_path);
    if (model_temp.empty())
        input_error("cannot create the model file \"%s\": %s",
                    printable_text(model_path, 4096).c_str(), std::strerror(errno));

    progress_display progress(options.quiet);
    progress.step("growing the tree on " + std::to_string(n_subjects) + " subjects ...");
    fitted_model model;
    model.korva_version = KORVA_VERSION;
    model.node_model_kind = options.model;
    describe_model_data(description, cov_column, model);
    const int n_nodes = grow_full_tree(cov_column, nodes, split, fit);
    if (n_nodes >= max_nodes - 1)
        std::printf(
            "note: the tree reached korva's limit of %d nodes (at most min(2n, 200) - 1); "
            "growing stopped there, so some terminal nodes might have been split further\n\n",
            n_nodes);
    // The grown tree, before pruning cuts it, with every node refitted: the
    // values must be the tree table's, bit for bit.
    snapshot_grown_tree(nodes, n_nodes, model);
    const int differing = fit_node_models(model, nodes, fit);
    if (differing >= 0)
        input_error("internal error: the refitted value of node %d differs from the grown tree's",
                    differing);
    int** pruned_nodes = prune_sequence(nodes, n_nodes);
    add_pruning(model, n_subtrees, alpha, pruned_nodes);

    progress.start_folds(options.folds, options.repeats);
    score_rows rows(options.repeats, n_subtrees);
    run_repetitions(options.folds, options.repeats, &cv_seed, nodes, split, fit, rows.row);
    progress.finish();
    add_cross_validation(model, options.folds, options.repeats, rows.row);
    model.cv.folds_from = folds_from;

    write_model_text(model_temp, model_to_json_text(model));
    finish_report();
    if (!commit_staged_file(model_temp, model_path))
        input_error("cannot write the model file \"%s\": %s",
                    printable_text(model_path, 4096).c_str(), std::strerror(errno));

    print_cv_table(report_name(), options.folds, n_subjects);
    std::printf("\nwritten: %s, %s\n", report_name().c_str(), model_path.c_str());
    release_node_table(nodes);
    release_fit_workspace(fit);
    release_split_workspace(split);
    return 0;
}
