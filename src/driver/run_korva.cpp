// run_korva: the run's steps in order: banner and data file, the fold and
// repetition answers, the run's storage, growing, report, pruning and
// cross-validation, release.
#include "driver/run_korva.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "data/read_data_file.h"
#include "driver/dialogue.h"
#include "driver/run_analysis.h"
#include "driver/run_warnings.h"
#include "model/fit_workspace.h"
#include "numeric/arrays.h"
#include "numeric/fatal_error.h"
#include "numeric/printable_text.h"
#include "numeric/run_counts.h"
#include "numeric/thread_count.h"
#include "tree/node_table.h"

namespace {

struct open_data_file {
    std::FILE* file;
    ~open_data_file() { std::fclose(file); }
};

} // namespace

int* read_run_answers(int* n_folds, int* n_repeats) {
    // Banner, data file, summaries.
    print_banner();
    std::string data_file_name = ask_data_file_name();
    std::FILE* data_file = std::fopen(data_file_name.c_str(), "r");
    if (data_file == nullptr) {
        input_error("cannot open data file \"%s\": %s",
                    printable_text(data_file_name, 4096).c_str(), std::strerror(errno));
    }
    int* cov_column = nullptr;
    {
        // Closes the file also when the reader stops the run by an exception
        // (as the fuzz builds' stops do); a normal stop's exit closes it anyway.
        open_data_file file{data_file};
        cov_column = read_data_file(data_file, data_file_name.c_str());
    }

    // Folds and repetitions.
    *n_folds = ask_folds(n_subjects);
    *n_repeats = ask_repeats();
    warn_about_folds(n_subjects, *n_folds);
    warn_about_nominal_covariates(cov_column, {});

    // Capacity of every node table of the run.
    max_nodes = n_subjects > 100 ? 200 : 2 * n_subjects;
    return cov_column;
}

int run_korva() {
    // Before anything else, so that a bad KORVA_THREADS is refused at once.
    n_threads = threads_from_environment();

    // The random stream of every cross-validation repetition continues from here.
    int cv_seed = 13;

    int n_folds = 0;
    int n_repeats = 0;
    int* cov_column = read_run_answers(&n_folds, &n_repeats);

    // The run's working storage: the node table, the node fit's work storage and
    // the split search's statistics vectors.
    node_table nodes;
    alloc_node_table(nodes);
    fit_workspace fit;
    alloc_fit_workspace(fit, n_outcomes);
    split_workspace split;
    alloc_split_workspace(split);

    // Growing, the tree table, pruning and the cross-validation repetitions.
    run_analysis(cov_column, n_folds, n_repeats, &cv_seed, nodes, split, fit);

    // Release of the run's storage; the data matrices live to the end of the
    // process.
    release_node_table(nodes);
    release_vector(col_type);
    col_type = nullptr;
    release_fit_workspace(fit);
    release_split_workspace(split);
    return 0;
}
