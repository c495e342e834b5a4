// Fuzz target of korva predict's input: a fixed small model
// (fuzz/files/predict_model.json, one split per routing rule, nodes with and
// without fits and with pure outcomes) and a fuzzed data file. Byte 0 chooses
// the options: bit 0 --patterns, bit 1 --keep case, bit 2 --na "-", bit 3 the
// model's columns renamed "column 1", "column 2", ... (so that korva's data
// file reaches the records), bit 4 --missing-code 9. The remaining bytes are
// the file. Every run that succeeds is checked: one row per subject after
// the header, each in a terminal node of the subtree with that node's
// probabilities, a finite or empty loglik, and patterns that sum to one.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "modelfile/build_model.h"
#include "modelfile/model_json.h"
#include "predict/csv_output.h"
#include "predict/predict_error.h"
#include "predict/predict_subjects.h"

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken prediction invariant: %s\n", what);
        std::abort();
    }
}

const fitted_model& fixed_model(bool numbered_names) {
    static fitted_model named, numbered;
    static bool loaded = false;
    if (!loaded) {
        std::string error;
        if (!read_model_file(KORVA_SOURCE_DIR "/fuzz/files/predict_model.json", named, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
        numbered = named;
        numbered.outcomes.clear();
        for (std::size_t k = 0; k < numbered.data.columns.size(); k++) {
            column_description& c = numbered.data.columns[k];
            c.name = "column " + std::to_string(k + 1);
            if (c.kind == column_outcome) numbered.outcomes.push_back(c.name);
        }
        loaded = true;
    }
    return numbered_names ? numbered : named;
}

// The records of RFC 4180 text written by csv_output (LF line ends).
std::vector<std::vector<std::string>> parse_output(const std::string& text) {
    std::vector<std::vector<std::string>> records;
    std::size_t i = 0;
    while (i < text.size()) {
        records.emplace_back(1);
        for (;;) {
            std::string& field = records.back().back();
            if (text[i] == '"') {
                for (i++; i < text.size(); i++) {
                    if (text[i] == '"' && (i + 1 >= text.size() || text[i + 1] != '"')) break;
                    if (text[i] == '"') i++;
                    field += text[i];
                }
                i++;
            }
            while (i < text.size() && text[i] != ',' && text[i] != '\n') field += text[i++];
            require(i < text.size(), "every output record ends in a line feed");
            if (text[i++] == '\n') break;
            records.back().emplace_back();
        }
    }
    return records;
}

void check_output(const fitted_model& model, const std::string& text, long long subjects, bool keep,
                  bool loglik, bool patterns) {
    const auto records = parse_output(text);
    require(static_cast<long long>(records.size()) == subjects + 1, "one row per subject");
    const std::size_t q = model.outcomes.size();
    std::vector<int> in_subtree, terminal;
    model_subtree_membership(model, 1, in_subtree, terminal);
    const std::size_t first = keep ? 1 : 0;
    for (std::size_t r = 1; r < records.size(); r++) {
        const std::vector<std::string>& row = records[r];
        require(row.size() == records[0].size(), "rows as long as the header");
        const int node = std::atoi(row[first].c_str());
        require(node >= 0 && node < static_cast<int>(model.nodes.size()) && in_subtree[node] &&
                    terminal[node],
                "a terminal node of the subtree");
        for (std::size_t j = 0; j < q; j++)
            require(row[first + 1 + j] == number_text(model.nodes[node].model.probability[j]),
                    "the node's probabilities");
        if (loglik) {
            const std::string& value = row[first + 1 + q];
            require(value.empty() || std::isfinite(std::strtod(value.c_str(), nullptr)),
                    "a finite or empty loglik");
        }
        if (patterns) {
            double total = 0;
            for (std::size_t k = first + 1 + q + (loglik ? 1 : 0); k < row.size(); k++)
                total += std::strtod(row[k].c_str(), nullptr);
            require(std::fabs(total - 1) < 1e-9, "pattern probabilities sum to one");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const std::string path = (make_fuzz_work_dir("predict") / "in.csv").string();
    std::FILE* in = std::fopen(path.c_str(), "wb");
    if (in == nullptr) std::abort();
    std::fwrite(data + 1, 1, size - 1, in);
    std::fclose(in);

    const unsigned flags = data[0];
    const fitted_model& model = fixed_model((flags & 8) != 0);
    predict_options options;
    options.model = "predict_model.json";
    options.data = path;
    options.patterns = (flags & 1) != 0;
    if ((flags & 2) != 0) options.keep = {model.data.columns[0].name};
    if ((flags & 4) != 0) options.na = {"-"};
    if ((flags & 16) != 0) options.missing_code = "9";

    char* text = nullptr;
    std::size_t length = 0;
    std::FILE* out = open_memstream(&text, &length);
    prediction_summary summary;
    bool ok = true;
    try {
        csv_output output(out, "output");
        predict_subjects(model, options, 1, output, summary);
        output.flush();
    } catch (const predict_error& e) {
        require(e.what()[0] != '\0', "an error says what is wrong");
        ok = false;
    }
    std::fclose(out);
    if (ok)
        check_output(model, std::string(text, length), summary.subjects, (flags & 2) != 0,
                     summary.loglik, options.patterns);
    std::free(text);
    return 0;
}
