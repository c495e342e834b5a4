// Growing the full tree on a generated data set of 20,000 subjects with 20
// covariates of mixed kinds and four outcomes: seconds per tree, node fits per
// second and peak resident memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "model/fit_workspace.h"
#include "numeric/run_counts.h"
#include "tree/grow_state.h"
#include "tree/node_table.h"

namespace {

struct grow_data {
    int n = 20000;
    int q = 4;
    std::vector<int> levels;
    std::vector<std::vector<real>> x;
    std::vector<std::vector<int>> y;
    std::vector<real*> x_rows;
    std::vector<int*> y_rows;
};

// 12 continuous ordered covariates (half rounded to few values, so with many
// ties), 2 integer-valued ordered ones and 6 nominal ones with 2 to 12
// categories; the outcomes depend on a handful of them and on each other.
void make_grow_data(grow_data& d) {
    std::mt19937 gen(20250101u);
    std::normal_distribution<double> normal(0.0, 1.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int nominal_levels[] = {2, 3, 5, 7, 9, 12};
    for (int c = 0; c < 20; c++) d.levels.push_back(c < 14 ? 1 : nominal_levels[c - 14]);
    d.x.assign(20, std::vector<real>(static_cast<size_t>(d.n)));
    d.y.assign(static_cast<size_t>(d.q) + 1, std::vector<int>(static_cast<size_t>(d.n)));
    for (int i = 0; i < d.n; i++) {
        for (int c = 0; c < 20; c++) {
            double v;
            if (c < 12) {
                v = normal(gen);
                if (c % 2 == 1) v = std::round(v * 4.0) / 4.0;
            } else if (c < 14) {
                v = static_cast<double>(gen() % 40);
            } else {
                v = static_cast<double>(gen() % static_cast<unsigned>(d.levels[c]));
            }
            d.x[c][i] = static_cast<real>(v);
        }
        double shared = normal(gen) * 0.5;
        int s = 0;
        for (int j = 0; j < d.q; j++) {
            double eta = shared + 0.6 * d.x[j][i] - 0.4 * d.x[j + 4][i] * d.x[j + 5][i] +
                         (static_cast<int>(d.x[14 + j][i]) % 2 == 0 ? 0.5 : -0.5) +
                         0.03 * (d.x[12][i] - 20.0);
            int v = unit(gen) < 1.0 / (1.0 + std::exp(-eta)) ? 1 : 0;
            d.y[j][i] = v;
            s += v;
        }
        d.y[d.q][i] = s * (s - 1) / 2;
    }
    for (auto& row : d.x) d.x_rows.push_back(row.data());
    for (auto& row : d.y) d.y_rows.push_back(row.data());
}

void BM_grow_full_tree(benchmark::State& state) {
    static grow_data d;
    if (d.levels.empty()) make_grow_data(d);
    set_outcome_counts(d.q);
    n_subjects = d.n;
    n_covariates = static_cast<int>(d.levels.size());
    cov_levels = d.levels.data();
    max_nodes = std::min(2 * d.n, 200);

    node_table nodes;
    split_workspace split;
    fit_workspace fit;
    alloc_node_table(nodes);
    alloc_split_workspace(split);
    alloc_fit_workspace(fit, d.q);

    long fits = 0;
    int n_nodes = 0;
    for (auto _ : state) {
        grow_state g;
        start_growth(g, d.x_rows.data(), d.y_rows.data(), d.n, nodes, split, fit);
        grow_nodes(g);
        fits += g.n_fits;
        n_nodes = g.n_nodes;
        finish_growth(g);
        benchmark::DoNotOptimize(nodes.node_value[0]);
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["nodes"] = n_nodes;
    state.counters["fits"] =
        benchmark::Counter(static_cast<double>(fits) / static_cast<double>(state.iterations()));
    state.counters["fits_per_s"] =
        benchmark::Counter(static_cast<double>(fits), benchmark::Counter::kIsRate);
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;

    release_fit_workspace(fit);
    release_split_workspace(split);
    release_node_table(nodes);
    cov_levels = nullptr;
}

} // namespace

BENCHMARK(BM_grow_full_tree)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
