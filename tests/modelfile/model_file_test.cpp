// The model file korva fit writes: it reads back and writes again to the same
// text, its node values are the report's, and damaged or foreign files are
// refused with a message that says where.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "modelfile/model_json.h"
#include "support/test_support.h"

namespace {

// korva fit on a bundled example; returns the run's directory.
std::string fit_example(const std::string& file, const std::string& args) {
    std::string dir = make_temp_dir();
    write_file(dir + "/" + file, read_file(source_path("examples/" + file)));
    korva_run r = run_korva_in(dir, "", "", "fit " + file + " " + args + " --quiet --out run");
    EXPECT_EQ(r.status, 0) << r.err;
    return dir + "/run";
}

// The likelihood column of the report's tree table, as printed.
std::vector<std::string> likelihood_column(const std::string& infor) {
    std::vector<std::string> values;
    std::istringstream in(infor);
    std::string line;
    std::getline(in, line);
    std::getline(in, line);
    while (std::getline(in, line) && !line.empty())
        values.push_back(line.substr(line.find_last_of(' ') + 1));
    return values;
}

std::string printed(float v) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(v));
    return text;
}

} // namespace

TEST(ModelFile, ReadsBackToTheSameTextAndTheReportsNodeValues) {
    const std::vector<std::pair<std::string, std::string>> runs = {
        {"pbc.csv", "--outcomes ascites,hepato,spiders --nominal trt,sex --ordinal edema,stage "
                    "--ignore id --repeats 3"},
        {"votes.csv", "--outcomes V3,V4,V8,V14 --repeats 2"},
        {"birthwt.dat", "--repeats 0"},
    };
    for (const auto& [file, args] : runs) {
        const std::string dir = fit_example(file, args);
        const std::string text = read_file(dir + "/model.json");
        fitted_model model;
        std::string error;
        ASSERT_TRUE(model_from_json_text(text, file, model, error)) << error;
        EXPECT_TRUE(model_to_json_text(model) == text) << file << ": not the same text again";
        // korva fit checks every refitted value against the grown tree bit for
        // bit; the file's values are those of the report.
        const std::vector<std::string> column = likelihood_column(read_file(dir + "/infor"));
        ASSERT_EQ(column.size(), model.nodes.size()) << file;
        for (size_t t = 0; t < column.size(); t++)
            EXPECT_EQ(printed(model.nodes[t].value), column[t]) << file << " node " << t;
        for (const model_node_entry& e : model.nodes) {
            double total = 0;
            for (int p : e.positives) total += p;
            EXPECT_LE(e.pair_total, static_cast<long long>(total * total)) << file;
            for (double p : e.model.probability) EXPECT_TRUE(p >= 0 && p <= 1) << file;
        }
    }
}

TEST(ModelFile, DamagedForeignAndTruncatedFilesAreRefusedSayingWhere) {
    const std::string text =
        read_file(fit_example("votes.csv", "--outcomes V3,V4,V8,V14 --repeats 1") + "/model.json");
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        const size_t at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? t : t.replace(at, from.size(), to);
    };
    struct bad {
        std::string name, text, error;
    };
    const std::vector<bad> cases = {
        {"truncated", text.substr(0, text.size() / 2), "m.json:"},
        {"not JSON", "infor\n", "m.json:1:1: not a model file"},
        {"other JSON", "{\"nodes\": []}", "not a korva model file"},
        {"newer version", replaced("\"format_version\": 1", "\"format_version\": 2"),
         "model file format version 2 is not supported (this korva reads version 1)"},
        {"daughter out of range", replaced("\"left\": 1,", "\"left\": 999,"), "(at /nodes/0/left)"},
        {"cases negative", replaced("\"cases\": 397", "\"cases\": -1"), "(at /nodes/0/cases)"},
        {"probability above one",
         replaced("\"probability\": [\n          0.", "\"probability\": [\n          7."),
         "a probability must lie in [0, 1]"},
        {"unknown kind", replaced("\"kind\": \"nominal\"", "\"kind\": \"circular\""),
         "unknown column kind \"circular\""},
    };
    for (const bad& c : cases) {
        fitted_model model;
        std::string error;
        EXPECT_FALSE(model_from_json_text(c.text, "m.json", model, error)) << c.name;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
    }
}
