// Reading rate and peak memory of load_data_file on a generated file of
// 1,000,000 subjects and 20 columns (an ignored id, 3 outcomes, 10 continuous,
// 3 ordinal and 3 nominal covariates).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "data/read_data_file.h"
#include "numeric/arrays.h"
#include "numeric/run_counts.h"

namespace {

constexpr int bench_subjects = 1000000;

// The generated file, written once and removed at exit.
struct generated_file {
    std::string path;
    long bytes = 0;
    generated_file() {
        char name[] = "/tmp/korva-read-bench-XXXXXX";
        int fd = mkstemp(name);
        if (fd < 0) std::abort();
        close(fd);
        path = name;
        std::FILE* f = std::fopen(name, "w");
        std::fprintf(f, "%d 17 3\n0 -1 -1 -1 1 1 1 1 1 1 1 1 1 1 2 2 2 3 3 3\n", bench_subjects);
        unsigned state = 12345;
        auto next = [&state]() {
            state = state * 1103515245u + 12345u;
            return (state >> 8) & 0xffffff;
        };
        for (int j = 0; j < bench_subjects; j++) {
            std::fprintf(f, "%d", j + 1);
            for (int o = 0; o < 3; o++) std::fprintf(f, " %u", next() & 1);
            for (int c = 0; c < 10; c++) std::fprintf(f, " %.2f", (next() % 1000000) / 100.0);
            for (int c = 0; c < 3; c++) std::fprintf(f, " %u", next() % 5);
            for (int c = 0; c < 3; c++) std::fprintf(f, " %u", next() % 4);
            std::fputc('\n', f);
        }
        bytes = std::ftell(f);
        std::fclose(f);
    }
    ~generated_file() { std::remove(path.c_str()); }
};

const generated_file& bench_file() {
    static generated_file file;
    return file;
}

void release_data(int* cov_column, int allocated_rows) {
    release_matrix(covariate_matrix, allocated_rows);
    release_matrix(outcome_matrix, n_outcomes + 1);
    release_vector(col_type);
    release_vector(cov_levels);
    release_vector(cov_column);
}

void BM_read_data_file(benchmark::State& state) {
    const generated_file& file = bench_file();
    long matrix_bytes = 0;
    for (auto _ : state) {
        std::FILE* f = std::fopen(file.path.c_str(), "r");
        // The summaries go to standard output; keep them out of the timing report.
        std::fflush(stdout);
        int saved_stdout = dup(1);
        int null_fd = open("/dev/null", O_WRONLY);
        dup2(null_fd, 1);
        close(null_fd);
        int* cov_column = load_data_file(f, file.path.c_str(), 0, 0);
        std::fflush(stdout);
        dup2(saved_stdout, 1);
        close(saved_stdout);
        std::fclose(f);
        matrix_bytes = static_cast<long>(n_covariates) * n_subjects * sizeof(real) +
                       static_cast<long>(n_outcomes + 1) * n_subjects * sizeof(int);
        // Every copy slot is allocated (2 per covariate read); unused ones are
        // already released and null.
        release_data(cov_column, 2 * n_covariates);
    }
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * file.bytes);
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(file.bytes) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
    state.counters["file_MB"] = static_cast<double>(file.bytes) / 1e6;
    state.counters["matrices_MB"] = static_cast<double>(matrix_bytes) / 1e6;
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1e3;
    state.counters["peak_over_matrices"] =
        static_cast<double>(usage.ru_maxrss) * 1e3 / static_cast<double>(matrix_bytes);
}

} // namespace

BENCHMARK(BM_read_data_file)->Unit(benchmark::kMillisecond)->Iterations(3);
