// Fuzz target of the dialogue: the input bytes are standard input, and the run
// goes from the banner through the data file reader and the fold and
// repetition answers to the allocation of the run's working storage. It works
// in a directory holding copies of the example data files and a few small
// ones, so typed names can open real files.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "check_prepared_data.h"
#include "data/console_answers.h"
#include "driver/run_korva.h"
#include "fuzz_support.h"
#include "model/fit_workspace.h"
#include "tree/node_table.h"

namespace fs = std::filesystem;

namespace {} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const fs::path work = make_fuzz_work_dir("dialogue");
    const fs::path source = KORVA_SOURCE_DIR;
    for (const fs::path& dir : {source / "examples", source / "fuzz" / "files"}) {
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.path().extension() == ".dat") {
                fs::copy_file(entry.path(), work / entry.path().filename());
                fs::permissions(work / entry.path().filename(), fs::perms::owner_read);
            }
        }
    }
    if (chdir(work.c_str()) != 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    install_stop_hook();
    std::vector<char> text(data, data + size);
    if (text.empty()) text.push_back(' ');
    std::FILE* input = fmemopen(text.data(), text.size(), "r");
    if (input == nullptr) return 0;
    std::FILE* saved_stdin = stdin;
    stdin = input;
    restart_console_answers();
    try {
        int n_folds = 0;
        int n_repeats = 0;
        int* cov_column = read_run_answers(&n_folds, &n_repeats);
        check_prepared_data(cov_column);
        require(n_folds >= 2 && n_folds <= n_subjects, "folds in range");
        require(n_repeats >= 0, "repetitions not negative");
        require(max_nodes == (n_subjects > 100 ? 200 : 2 * n_subjects), "max_nodes");

        node_table nodes;
        alloc_node_table(nodes);
        fit_workspace fit;
        alloc_fit_workspace(fit, n_outcomes);
        split_workspace split;
        alloc_split_workspace(split);
        release_node_table(nodes);
        release_fit_workspace(fit);
        release_split_workspace(split);
    } catch (const run_stopped&) {
    }
    stdin = saved_stdin;
    std::fclose(input);
    restart_console_answers();
    clear_run();
    return 0;
}
