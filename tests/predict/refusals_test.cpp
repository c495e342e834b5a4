// What korva predict refuses: each refusal is one error line naming the file
// (and line) and what was expected, exit status 1, and no output file, not
// even a temporary one, although rows were already predicted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hand_model.h"
#include "modelfile/model_json.h"
#include "support/test_support.h"

namespace {

struct refusal {
    std::string name;
    std::string input;      // in.csv
    std::string args;       // after "predict m.json in.csv --output out.csv"
    std::string error;      // part of the error line
    std::string model = ""; // m.json, when not the hand model's
};

} // namespace

TEST(PredictRefusals, OneErrorLineStatusOneAndNoOutputFile) {
    const std::string model = model_to_json_text(hand::model());
    const std::string good = "case,x,m,g,h,y1,y2\n1,1,2,a,0,0,1\n";
    auto with_version_2 = [&] {
        std::string m = model;
        return m.replace(m.find("\"format_version\": 1"), 19, "\"format_version\": 2");
    };
    const std::vector<refusal> cases = {
        {"split column missing", "case,x,g,h\n1,1,a,0\n", "",
         "in.csv:1: no column \"m\", which the tree splits on (the file's columns are \"case\", "
         "\"x\", \"g\", \"h\")"},
        {"text in a numeric column", good + "2,abc,2,a,0,0,1\n", "",
         "in.csv:3: column \"x\": expected a number, found \"abc\""},
        {"fraction where categories are numbers", good + "2,1,2,a,1.5,0,1\n", "",
         "in.csv:3: column \"h\": expected a whole number from 0 up (a category), found \"1.5\""},
        {"outcome not binary", good + "2,1,2,a,0,2,1\n", "",
         "in.csv:3: column \"y1\": expected 0/1, TRUE/FALSE or yes/no (an outcome), found \"2\""},
        {"ragged row", good + "2,1,2\n", "", "in.csv:3: 3 fields (expected 7"},
        {"kept column missing", good, "--keep id", "--keep names \"id\", which is not a column"},
        {"subtree out of range", good, "--tree 2",
         "--tree 2: expected a subtree number from 1 to 1"},
        {"no rows to choose from", good, "--tree 1se",
         "--tree 1se: the model has no cross-validation rows"},
        {"missing code on text", good, "--missing-code -9", "--missing-code applies to korva's"},
        {"damaged model", good, "", "m.json:", model.substr(0, model.size() / 2)},
        {"other version", good, "",
         "m.json: model file format version 2 is not supported (this korva reads version 1)",
         with_version_2()},
    };
    for (const refusal& c : cases) {
        const std::string dir = make_temp_dir();
        write_file(dir + "/m.json", c.model.empty() ? model : c.model);
        write_file(dir + "/in.csv", c.input);
        korva_run r = run_korva_in(dir, "", "", "predict m.json in.csv --output out.csv " + c.args);
        EXPECT_EQ(r.status, 1) << c.name;
        const std::size_t at = r.err.find("error: ");
        ASSERT_NE(at, std::string::npos) << c.name << ": " << r.err;
        EXPECT_EQ(r.err.find('\n', at), r.err.size() - 1) << c.name << ": " << r.err;
        EXPECT_NE(r.err.find(c.error, at), std::string::npos) << c.name << ": " << r.err;
        for (const std::string& name : list_dir(dir))
            EXPECT_EQ(name.rfind("out.csv", 0), std::string::npos) << c.name << ": " << name;
    }
}
