// A whole run in process on a generated data set of 5,000 subjects with 10
// covariates of mixed kinds and four outcomes: the full tree, its table, the
// pruning sequence and 10 repetitions of 5-fold cross-validation, with the
// console text thrown away and "infor" written in a temporary directory.
// Reports the seconds of the grow-and-prune phase, of the cross-validation
// phase and of the whole run, and the node fits of all split searches.
// The arguments are the thread count (KORVA_THREADS of a real run), the
// number of repetitions (10 for the whole run; 1 for profiling under a tool)
// and the node model (0 the common one, 1 the pairwise one).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "driver/report_file.h"
#include "driver/run_analysis.h"
#include "model/fit_workspace.h"
#include "model/node_model.h"
#include "numeric/ran1.h"
#include "numeric/run_counts.h"
#include "numeric/thread_count.h"
#include "tree/grow_tree.h"
#include "tree/node_table.h"
#include "tree/split_bounds.h"

namespace {

constexpr int n_cases = 5000;
constexpr int n_cov = 10;
constexpr int q = 4;
constexpr int folds = 5;

struct run_data {
    std::vector<int> levels;
    std::vector<int> columns;
    std::vector<std::vector<real>> x;
    std::vector<std::vector<int>> y;
    std::vector<real*> x_rows;
    std::vector<int*> y_rows;
};

// Four normal covariates (two rounded to quarters, so with ties), two integer
// ones of 20 values, one of 5 values, one uniform, and two nominal ones with 3
// and 5 categories; the outcomes depend on several of them and on a shared
// subject effect.
void make_run_data(run_data& d) {
    std::mt19937 gen(5000u);
    std::normal_distribution<double> normal(0.0, 1.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int levels[n_cov] = {1, 1, 1, 1, 1, 1, 1, 1, 3, 5};
    d.levels.assign(levels, levels + n_cov);
    for (int c = 0; c < n_cov; c++) d.columns.push_back(c + 1);
    d.x.assign(n_cov, std::vector<real>(n_cases));
    d.y.assign(q + 1, std::vector<int>(n_cases));
    for (int i = 0; i < n_cases; i++) {
        for (int c = 0; c < n_cov; c++) {
            double v;
            if (c < 4) {
                v = normal(gen);
                if (c % 2 == 1) v = std::round(v * 4.0) / 4.0;
            } else if (c < 6) {
                v = static_cast<double>(gen() % 20);
            } else if (c == 6) {
                v = static_cast<double>(gen() % 5);
            } else if (c == 7) {
                v = unit(gen);
            } else {
                v = static_cast<double>(gen() % static_cast<unsigned>(levels[c]));
            }
            d.x[c][i] = static_cast<real>(v);
        }
        const double shared = normal(gen) * 0.7;
        int s = 0;
        for (int j = 0; j < q; j++) {
            double eta = shared + 0.5 * d.x[j][i] - 0.3 * d.x[j + 1][i] * d.x[7][i] +
                         0.04 * (d.x[4][i] - 10.0) +
                         (static_cast<int>(d.x[9][i]) % 2 == 0 ? 0.4 : -0.4) +
                         (static_cast<int>(d.x[8][i]) == j % 3 ? 0.3 : 0.0);
            int v = unit(gen) < 1.0 / (1.0 + std::exp(-eta)) ? 1 : 0;
            d.y[j][i] = v;
            s += v;
        }
        d.y[q][i] = s * (s - 1) / 2;
    }
    for (auto& row : d.x) d.x_rows.push_back(row.data());
    for (auto& row : d.y) d.y_rows.push_back(row.data());
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_whole_run(benchmark::State& state) {
    static run_data d;
    if (d.levels.empty()) make_run_data(d);

    // A scratch directory for "infor", and standard output sent to /dev/null
    // while the run prints its progress lines.
    char dir_template[] = "/tmp/korva_whole_run_XXXXXX";
    const char* dir = mkdtemp(dir_template);
    if (dir == nullptr) {
        state.SkipWithError("cannot make a temporary directory");
        return;
    }
    const std::string previous = std::getenv("PWD") != nullptr ? std::getenv("PWD") : "/";
    if (chdir(dir) != 0) {
        state.SkipWithError("cannot enter the temporary directory");
        return;
    }

    set_outcome_counts(q);
    n_subjects = n_cases;
    n_covariates = n_cov;
    cov_levels = d.levels.data();
    covariate_matrix = d.x_rows.data();
    outcome_matrix = d.y_rows.data();
    max_nodes = 200;
    n_threads = static_cast<int>(state.range(0));
    const int repeats = static_cast<int>(state.range(1));
    node_model = state.range(2) == 1 ? node_model_pairwise : node_model_common;

    double grow_s = 0, cv_s = 0;
    long fits = 0;
    const long candidates_before = split_candidate_count;
    const long pattern_before = split_ruled_by_pattern_count;
    const long tilt_before = split_ruled_by_tilt_count;
    for (auto _ : state) {
        std::fflush(stdout);
        const int saved_stdout = dup(1);
        const int null_fd = open("/dev/null", O_WRONLY);
        dup2(null_fd, 1);
        close(null_fd);

        node_table nodes;
        split_workspace split;
        fit_workspace fit;
        alloc_node_table(nodes);
        alloc_split_workspace(split);
        alloc_fit_workspace(fit, q);
        // Every run starts the generator afresh, as a new process would.
        reset_ran1();
        int cv_seed = 13;
        const long fits_before = grow_fit_count;

        auto start = std::chrono::steady_clock::now();
        grow_and_prune(d.columns.data(), nodes, split, fit);
        grow_s += seconds_since(start);
        start = std::chrono::steady_clock::now();
        run_repetitions(folds, repeats, &cv_seed, nodes, split, fit);
        cv_s += seconds_since(start);
        finish_report();
        fits += grow_fit_count - fits_before;

        release_fit_workspace(fit);
        release_split_workspace(split);
        release_node_table(nodes);

        std::fflush(stdout);
        dup2(saved_stdout, 1);
        close(saved_stdout);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["grow_prune_s"] = grow_s / runs;
    state.counters["cv_s"] = cv_s / runs;
    state.counters["total_s"] = (grow_s + cv_s) / runs;
    state.counters["fits"] = static_cast<double>(fits) / runs;
    state.counters["subtrees"] = n_subtrees;
    // Admissible candidate splits, and the shares ruled out unfitted by the
    // pattern-frequency and the tilted bound.
    const double candidates = static_cast<double>(split_candidate_count - candidates_before);
    state.counters["candidates"] = candidates / runs;
    if (candidates > 0) {
        state.counters["ruled_pattern"] =
            static_cast<double>(split_ruled_by_pattern_count - pattern_before) / candidates;
        state.counters["ruled_tilt"] =
            static_cast<double>(split_ruled_by_tilt_count - tilt_before) / candidates;
    }

    std::remove("infor");
    if (chdir(previous.c_str()) != 0) state.SkipWithError("cannot return to the directory");
    rmdir(dir);
    node_model = node_model_common;
    cov_levels = nullptr;
    covariate_matrix = nullptr;
    outcome_matrix = nullptr;
}

} // namespace

BENCHMARK(BM_whole_run)
    ->ArgNames({"threads", "repeats", "pairwise"})
    ->Args({1, 10, 0})
    ->Args({2, 10, 0})
    ->Args({1, 1, 0})
    ->Args({2, 1, 0})
    ->Args({1, 10, 1})
    ->Args({2, 10, 1})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
