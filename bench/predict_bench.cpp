// korva predict on a generated CSV of 1,000,000 subjects: a model of 21 nodes
// (10 splits on continuous columns with and without missing values, their
// missingness copies, a labelled and a numbered nominal column) and q = 4
// outcomes is built in memory, and every subject is routed, scored and
// written to a temporary file. Reports seconds, subjects per second and the
// process's peak resident memory (the generated file is streamed to disk, so
// the peak is that of prediction).
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "modelfile/fitted_model.h"
#include "predict/csv_output.h"
#include "predict/predict_subjects.h"

namespace {

constexpr int bench_subjects = 1000000;
constexpr int q = 4;
const char* const labels[] = {"alpha", "beta", "gamma", "delta", "epsilon"};

// Columns: id (ignored), x1..x6 continuous (x1 and x2 with missing values), g
// (5 labels and missing), h (categories 0..3), y1..y4.
fitted_model bench_model() {
    fitted_model m;
    m.data.format = "delimited text (comma-separated)";
    m.data.subjects = bench_subjects;
    auto add = [&](const std::string& name, column_kind kind, int missing) {
        column_description c;
        c.name = name;
        c.kind = kind;
        c.missing = missing;
        c.observed = true;
        c.smallest = -4;
        c.largest = 4;
        m.data.columns.push_back(c);
    };
    add("id", column_ignored, 0);
    for (int k = 1; k <= 6; k++) add("x" + std::to_string(k), column_continuous, k <= 2 ? 100 : 0);
    add("g", column_nominal, 100);
    m.data.columns.back().labels.assign(labels, labels + 5);
    m.data.columns.back().categories = 6;
    add("h", column_nominal, 0);
    m.data.columns.back().categories = 4;
    for (int j = 1; j <= q; j++) {
        add("y" + std::to_string(j), column_outcome, 0);
        m.outcomes.push_back("y" + std::to_string(j));
    }
    // Covariates: x1..x6 (0..5), g (6), h (7), the copies of x1 and x2 (8, 9).
    const int columns[] = {1, 2, 3, 4, 5, 6, 7, 8, 1, 2};
    const int levels[] = {1, 1, 1, 1, 1, 1, 6, 4, 1, 1};
    const float missing[] = {-5, -5, NAN, NAN, NAN, NAN, 5, NAN, 5, 5};
    for (int c = 0; c < 10; c++) {
        m.cov_column.push_back(columns[c]);
        m.cov_levels.push_back(levels[c]);
        m.is_copy.push_back(c >= 8);
        m.missing_value.push_back(missing[c]);
    }
    m.n_covariates = 10;
    // Internal nodes 0..9 split on these covariates, breadth first.
    const int split_on[] = {0, 6, 1, 7, 2, 8, 3, 9, 4, 5};
    std::mt19937 gen(21u);
    std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
    for (int t = 0; t < 21; t++) {
        model_node_entry e;
        e.number = t;
        e.parent = t == 0 ? -1 : (t - 1) / 2;
        e.cases = 1000 >> (t == 0 ? 0 : static_cast<int>(std::log2(t + 1)));
        if (t < 10) {
            e.left = 2 * t + 1;
            e.right = 2 * t + 2;
            e.has_split = true;
            model_split& s = e.split;
            s.covariate = split_on[t];
            s.column = columns[s.covariate];
            s.nominal = levels[s.covariate] > 1;
            s.split_value = s.nominal ? (s.covariate == 6 ? 0b100101 : 0b0101) : uniform(gen);
            s.cut = s.nominal ? 0 : s.split_value;
        }
        fitted_node_model& f = e.model;
        f.fitted = true;
        f.model_node = t;
        f.pure.assign(q, false);
        double normaliser = 0;
        for (int j = 0; j < q; j++) {
            f.retained.push_back(j);
            f.theta.push_back(uniform(gen) - 0.5f);
        }
        f.omega = 0.3f * uniform(gen);
        std::vector<double> positive(q, 0.0);
        for (int y = 0; y < (1 << q); y++) {
            double eta = 0;
            int s = 0;
            for (int j = 0; j < q; j++)
                if ((y >> j) & 1) eta += f.theta[j], s++;
            const double w = std::exp(eta + f.omega * (s * (s - 1) / 2));
            normaliser += w;
            for (int j = 0; j < q; j++)
                if ((y >> j) & 1) positive[j] += w;
        }
        f.normaliser = static_cast<float>(normaliser);
        for (int j = 0; j < q; j++) f.probability.push_back(positive[j] / normaliser);
        e.positives.assign(q, e.cases / 3);
        e.rate.assign(q, 1.0 / 3);
        m.nodes.push_back(e);
    }
    model_subtree grown;
    grown.terminal = 11;
    m.subtrees.push_back(grown);
    m.cv.folds = 5;
    return m;
}

// The generated input, written once and removed at exit.
struct generated_input {
    std::string path;
    generated_input() {
        char name[] = "/tmp/korva-predict-bench-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) std::abort();
        close(fd);
        path = name;
        std::FILE* f = std::fopen(name, "w");
        std::fputs("id,x1,x2,x3,x4,x5,x6,g,h,y1,y2,y3,y4\n", f);
        std::mt19937 gen(1000000u);
        std::normal_distribution<double> normal(0.0, 1.0);
        for (int i = 0; i < bench_subjects; i++) {
            std::fprintf(f, "%d", i + 1);
            for (int k = 0; k < 6; k++) {
                if (k < 2 && gen() % 50 == 0)
                    std::fputs(",NA", f);
                else
                    std::fprintf(f, ",%.2f", normal(gen));
            }
            const unsigned g = gen() % 6;
            std::fprintf(f, ",%s,%u", g == 5 ? "" : labels[g], static_cast<unsigned>(gen() % 4));
            for (int j = 0; j < q; j++) std::fprintf(f, ",%u", static_cast<unsigned>(gen() % 2));
            std::fputc('\n', f);
        }
        std::fclose(f);
    }
    ~generated_input() { std::remove(path.c_str()); }
};

void BM_predict(benchmark::State& state) {
    static generated_input input;
    const fitted_model model = bench_model();
    predict_options options;
    options.model = "bench model";
    options.data = input.path;
    options.keep = {"id"};
    options.patterns = state.range(0) != 0;
    const std::string output = input.path + ".out";
    long long subjects = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(output.c_str(), "wb");
        csv_output out(file, output);
        prediction_summary summary;
        predict_subjects(model, options, 1, out, summary);
        out.flush();
        std::fclose(file);
        subjects = summary.subjects;
    }
    std::remove(output.c_str());
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    state.counters["subjects/s"] = benchmark::Counter(
        static_cast<double>(subjects), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1e3;
}

} // namespace

// Argument: 1 adds the 16 pattern probabilities to every row (--patterns).
BENCHMARK(BM_predict)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
