// Reading rate of delimited text on a generated file of 1,000,000 rows and 20
// numeric columns: the record splitting alone, splitting with every cell
// converted to a number, and the whole typed table for a fit.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "table/cells.h"
#include "table/delimited_reader.h"
#include "table/read_table.h"

namespace {

constexpr int bench_rows = 1000000;
constexpr int bench_columns = 20;

// The generated file, written once and removed at exit. Column c0 holds 0/1
// (an outcome for the typed table); the others numbers with two decimals.
struct generated_csv {
    std::string path;
    long bytes = 0;
    generated_csv() {
        char name[] = "/tmp/korva-table-bench-XXXXXX";
        int fd = mkstemp(name);
        if (fd < 0) std::abort();
        close(fd);
        path = name;
        std::FILE* f = std::fopen(name, "w");
        for (int c = 0; c < bench_columns; c++) std::fprintf(f, "%sc%d", c ? "," : "", c);
        std::fputc('\n', f);
        unsigned state = 12345;
        auto next = [&state]() {
            state = state * 1103515245u + 12345u;
            return (state >> 8) & 0xffffff;
        };
        for (int j = 0; j < bench_rows; j++) {
            std::fprintf(f, "%u", next() & 1);
            for (int c = 1; c < bench_columns; c++)
                std::fprintf(f, ",%.2f", (next() % 1000000) / 100.0);
            std::fputc('\n', f);
        }
        bytes = std::ftell(f);
        std::fclose(f);
    }
    ~generated_csv() { std::remove(path.c_str()); }
};

const generated_csv& bench_csv() {
    static generated_csv file;
    return file;
}

void report(benchmark::State& state, long bytes) {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(bytes) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1e3;
}

void BM_delimited_records(benchmark::State& state) {
    const generated_csv& file = bench_csv();
    for (auto _ : state) {
        delimited_reader reader;
        if (!open_delimited(reader, file.path)) state.SkipWithError(reader.error.c_str());
        std::size_t field_bytes = 0;
        while (next_record(reader) == record_ok) {
            for (std::string_view field : reader.fields) field_bytes += field.size();
        }
        benchmark::DoNotOptimize(field_bytes);
    }
    report(state, file.bytes);
}

void BM_delimited_numbers(benchmark::State& state) {
    const generated_csv& file = bench_csv();
    for (auto _ : state) {
        delimited_reader reader;
        if (!open_delimited(reader, file.path)) state.SkipWithError(reader.error.c_str());
        double sum = 0;
        while (next_record(reader) == record_ok) {
            for (std::string_view field : reader.fields) {
                real value = 0;
                if (read_numeric_cell(field, value) == cell_number) sum += value;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    report(state, file.bytes);
}

void BM_read_table(benchmark::State& state) {
    const generated_csv& file = bench_csv();
    table_options options;
    options.outcomes = {"c0"};
    for (auto _ : state) {
        data_table table;
        std::string error;
        if (!read_table(file.path, options, table, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(table.rows);
    }
    report(state, file.bytes);
}

} // namespace

BENCHMARK(BM_delimited_records)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_delimited_numbers)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_read_table)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
