// Fuzz target of a whole run after the dialogue: the data file reader, then
// growing, the tree table, pruning and one cross-validation repetition, with
// the report written in a scratch directory. The input is laid out as for the
// data file target (answers byte, missing code byte, data file); bit 2 of the
// first byte asks for 3 folds instead of 2. Only small data are grown (few
// subjects, covariates, outcomes and categories) so that one input stays fast.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "data/read_data_file.h"
#include "driver/run_analysis.h"
#include "fuzz_support.h"
#include "model/fit_workspace.h"
#include "numeric/ran1.h"
#include "tree/node_table.h"

namespace fs = std::filesystem;

namespace {

bool small_enough() {
    if (n_subjects > 150 || n_covariates > 6 || n_outcomes > 4) return false;
    for (int k = 0; k < n_covariates; k++) {
        if (cov_levels[k] > 6) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const fs::path work = make_fuzz_work_dir("whole-run");
    if (chdir(work.c_str()) != 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    install_stop_hook();
    fuzz_data_input in = decode_data_input(data, size);
    const int n_folds = (data[0] & 4) != 0 ? 3 : 2;
    std::FILE* file = open_data_text(in);
    if (file == nullptr) return 0;
    try {
        int* cov_column = load_data_file(file, "fuzz.dat", in.missing_flag, in.missing_code);
        if (small_enough() && n_folds <= n_subjects) {
            max_nodes = n_subjects > 100 ? 200 : 2 * n_subjects;
            node_table nodes;
            alloc_node_table(nodes);
            fit_workspace fit;
            alloc_fit_workspace(fit, n_outcomes);
            split_workspace split;
            alloc_split_workspace(split);
            int cv_seed = 13;
            try {
                run_analysis(cov_column, n_folds, 1, &cv_seed, nodes, split, fit);
            } catch (const run_stopped&) {
                release_fit_workspace(fit);
                throw;
            }
            release_node_table(nodes);
            release_fit_workspace(fit);
            release_split_workspace(split);
        }
    } catch (const run_stopped&) {
    }
    std::fclose(file);
    reset_ran1();
    clear_run();
    return 0;
}
