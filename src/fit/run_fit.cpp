// run_fit: the batch analysis in the dialogue run's order, on the same engine
// and with the same random stream, writing DIR/infor under a temporary name
// until it is complete.
#include "fit/run_fit.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "driver/report_file.h"
#include "driver/run_analysis.h"
#include "fit/load_fit_data.h"
#include "fit/print_data_summary.h"
#include "fit/progress_display.h"
#include "model/fit_workspace.h"
#include "numeric/arrays.h"
#include "numeric/console.h"
#include "numeric/fatal_error.h"
#include "numeric/printable_text.h"
#include "numeric/report_path.h"
#include "numeric/run_counts.h"
#include "numeric/thread_count.h"
#include "report/report.h"
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

// The cross-validation table of the finished report, as korva report prints it.
void print_cv_table(const std::string& report) {
    report_file rep;
    std::string error;
    if (!read_report(report, rep, error)) input_error("%s", error.c_str());
    cv_summary sum;
    summarize_cv(rep, sum);
    print_table(std::cout, rep, sum);
    std::cout.flush();
}

} // namespace

int run_fit(const fit_options& options) {
    n_threads = options.threads > 0 ? options.threads : threads_from_environment();
    // The engine's console text is the dialogue's; korva fit speaks for itself.
    mute_console(true);
    if (options.folds < 2) input_error("--folds %d: there must be at least 2 folds", options.folds);
    if (options.repeats < 0)
        input_error("--repeats %d: the number of repetitions must be 0 or more", options.repeats);

    data_description description;
    int* cov_column = load_fit_data(options, description);
    if (options.folds > n_subjects)
        input_error("--folds %d: more folds than subjects (%d)", options.folds, n_subjects);
    print_data_summary(stdout, description);
    std::fflush(stdout);

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

    progress_display progress(options.quiet);
    progress.step("growing the tree on " + std::to_string(n_subjects) + " subjects ...");
    grow_and_prune(cov_column, nodes, split, fit);
    progress.start_folds(options.folds, options.repeats);
    run_repetitions(options.folds, options.repeats, &cv_seed, nodes, split, fit);
    progress.finish();
    finish_report();

    print_cv_table(report_name());
    std::printf("\nwritten: %s\n", report_name().c_str());
    release_node_table(nodes);
    release_fit_workspace(fit);
    release_split_workspace(split);
    return 0;
}
