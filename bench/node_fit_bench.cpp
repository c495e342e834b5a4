// Benchmarks of the node model: whole fits on fixed random nodes, one pattern
// sum at fixed parameters, and the bound a pattern sum cannot beat (its 2^q
// exponentials, each rounded to a real and summed); whole fits of the pairwise
// model on the same nodes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "model/fit_workspace.h"
#include "model/node_fit.h"
#include "model/node_stats.h"
#include "model/pairwise_fit.h"
#include "numeric/arrays.h"
#include "numeric/run_counts.h"

namespace {

// node_stats of `count` random nodes of q correlated outcomes, 200 cases each.
std::vector<std::vector<int>> random_nodes(int q, int count) {
    set_outcome_counts(q);
    std::mt19937 gen(1000 + q);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const int n = 200;
    int** y = imatrix(q + 1, n);
    std::vector<std::vector<int>> nodes;
    for (int node = 0; node < count; node++) {
        std::vector<double> p(q);
        for (int j = 0; j < q; j++) p[j] = 0.2 + 0.6 * u(gen);
        const double association = 0.8 * u(gen);
        for (int i = 0; i < n; i++) {
            const double z = u(gen) - 0.5;
            int s = 0;
            for (int j = 0; j < q; j++) {
                y[j][i] = u(gen) < p[j] + association * z ? 1 : 0;
                s += y[j][i];
            }
            y[q][i] = s * (s - 1) / 2;
        }
        std::vector<int> stats(stat_len);
        find_covmat(y, 0, n, stats.data());
        nodes.push_back(stats);
    }
    release_matrix(y, q + 1);
    return nodes;
}

// Parameters of a typical fitted node: moderate main effects, weak association.
std::vector<real> typical_params(int q) {
    std::vector<real> params(q + 1);
    for (int j = 0; j < q; j++) params[j] = static_cast<real>(-0.8 + 1.6 * j / (q > 1 ? q - 1 : 1));
    params[q] = 0.15f;
    return params;
}

void BM_NodeFit(benchmark::State& state) {
    const int q = static_cast<int>(state.range(0));
    const auto nodes = random_nodes(q, 32);
    fit_workspace ws;
    alloc_fit_workspace(ws, q);
    std::vector<real> params(q + 1), means(q + 1);
    real normaliser;
    std::size_t next = 0;
    double passes = 0;
    for (auto _ : state) {
        const auto& stats = nodes[next];
        next = (next + 1) % nodes.size();
        double value =
            node_log_likelihood(stats.data(), 200, params.data(), means.data(), &normaliser, ws);
        benchmark::DoNotOptimize(value);
        passes += ws.passes;
    }
    state.counters["passes"] = benchmark::Counter(passes, benchmark::Counter::kAvgIterations);
    release_fit_workspace(ws);
}

void BM_PairwiseFit(benchmark::State& state) {
    const int q = static_cast<int>(state.range(0));
    const auto nodes = random_nodes(q, 32);
    pairwise_workspace pw;
    alloc_pairwise_workspace(pw, q);
    std::size_t next = 0;
    double iterations = 0, passes = 0;
    for (auto _ : state) {
        const auto& stats = nodes[next];
        next = (next + 1) % nodes.size();
        double value = pairwise_log_likelihood(stats.data(), 200, pw);
        benchmark::DoNotOptimize(value);
        iterations += pw.iterations;
        passes += pw.passes;
    }
    state.counters["newton"] = benchmark::Counter(iterations, benchmark::Counter::kAvgIterations);
    state.counters["passes"] = benchmark::Counter(passes, benchmark::Counter::kAvgIterations);
    release_pairwise_workspace(pw);
}

void BM_PatternSum(benchmark::State& state) {
    const int q = static_cast<int>(state.range(0));
    set_outcome_counts(q);
    fit_workspace ws;
    alloc_fit_workspace(ws, q);
    const std::vector<real> params = typical_params(q);
    real A;
    std::vector<real> E(q + 1);
    for (auto _ : state) {
        enumerate_patterns(params.data(), &A, E.data(), q, ws.pattern_bits, ws);
        benchmark::DoNotOptimize(A);
        benchmark::DoNotOptimize(E.data());
    }
    release_fit_workspace(ws);
}

void BM_ExpBound(benchmark::State& state) {
    const int q = static_cast<int>(state.range(0));
    const std::vector<real> params = typical_params(q);
    std::vector<double> eta(1u << q);
    for (std::size_t i = 0; i < eta.size(); i++) {
        int s = 0;
        double x = 0.0;
        for (int j = 0; j < q; j++)
            if ((i >> j) & 1) s++, x += params[j];
        eta[i] = x + s * (s - 1) / 2 * static_cast<double>(params[q]);
    }
    for (auto _ : state) {
        real sum = 0.0f;
        for (double x : eta) sum += static_cast<real>(std::exp(x));
        benchmark::DoNotOptimize(sum);
    }
}

} // namespace

BENCHMARK(BM_NodeFit)->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Arg(6)->Arg(8)->Arg(10);
BENCHMARK(BM_PairwiseFit)->Arg(2)->Arg(4)->Arg(6)->Arg(8)->Arg(10);
BENCHMARK(BM_PatternSum)->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Arg(6)->Arg(8)->Arg(10);
BENCHMARK(BM_ExpBound)->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Arg(6)->Arg(8)->Arg(10);
