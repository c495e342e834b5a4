// korva fit as a user runs it: the report equals the dialogue run's on the
// same data (delimited text and korva's data file), and bad input ends with
// one error line, status 1 and no report.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

struct fit_case {
    std::string golden; // tests/driver/golden/NAME.infor
    std::string file;   // under examples/
    std::string args;
};

korva_run fit_in_fresh_dir(const std::string& file, const std::string& args,
                           const std::string& env = "") {
    std::string dir = make_temp_dir();
    write_file(dir + "/" + file, read_file(source_path("examples/" + file)));
    korva_run r = run_korva_in(dir, "", env, "fit " + file + " " + args + " --out run");
    r.infor_exists = !read_file(dir + "/run/infor").empty();
    r.infor = read_file(dir + "/run/infor");
    return r;
}

bool contains(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

} // namespace

TEST(FitCommand, ReportEqualsTheDialogueRunOnTheSameData) {
    const std::vector<fit_case> cases = {
        // Missing values (NA), an ignored column, text labels, several outcomes.
        {"pbc", "pbc.csv",
         "--outcomes ascites,hepato,spiders --nominal trt,sex --ordinal edema,stage --ignore id "
         "--repeats 3"},
        // Text-labelled nominal columns inferred from their text, with NA cells.
        {"votes", "votes.csv", "--outcomes V3,V4,V8,V14 --repeats 3"},
        {"birthwt", "birthwt.csv",
         "--outcomes low,ht,ui --nominal race,smoke --ordinal ptl,ftv --ignore bwt"},
        {"birthwt_2fold", "birthwt.csv",
         "--outcomes low,ht,ui --nominal race,smoke --ordinal ptl,ftv --ignore bwt --folds 2 "
         "--repeats 1"},
        // korva's own data file, with the dialogue's missing code.
        {"pbc", "pbc.dat", "--missing-code -9 --repeats 3"},
        {"votes_norep", "votes.dat", "--missing-code 9 --folds 4 --repeats 0"},
    };
    for (const fit_case& c : cases) {
        for (const char* threads : {"--threads 1", "--threads 3"}) {
            korva_run r = fit_in_fresh_dir(c.file, c.args + " " + threads + " --quiet");
            EXPECT_EQ(r.status, 0) << c.file << ": " << r.err;
            EXPECT_EQ(r.err, "") << c.file;
            EXPECT_TRUE(r.infor ==
                        read_file(source_path("tests/driver/golden/" + c.golden + ".infor")))
                << c.file << " " << c.args << " " << threads;
            EXPECT_TRUE(contains(r.out, "written: run/infor")) << r.out;
        }
    }
}

TEST(FitCommand, SummaryNamesColumnsKindsAndMissingCounts) {
    korva_run r = fit_in_fresh_dir("votes.csv", "--outcomes V3,V4,V8,V14 --repeats 2 --folds 2");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "votes.csv: delimited text (comma-separated), 397 subjects, 17 "
                                "columns"))
        << r.out;
    // party: text labels, no missing cells; V1: 9 missing votes.
    EXPECT_TRUE(contains(r.out, "  party   nominal           0  2 categories: democrat, "
                                "republican\n"))
        << r.out;
    EXPECT_TRUE(contains(r.out, "taken as nominal because they hold text: party, V1, V2,"))
        << r.out;
    EXPECT_TRUE(contains(r.out, "  V3      outcome           0  ")) << r.out;
    EXPECT_TRUE(contains(r.out, "min")) << r.out;
    // Plain progress lines when standard error is not a terminal.
    EXPECT_TRUE(contains(r.err, "cross-validation: 2 repetitions of 2 folds ...\n")) << r.err;
    EXPECT_TRUE(contains(r.err, "cross-validation: done in ")) << r.err;
}

TEST(FitCommand, HelpAndVersion) {
    std::string dir = make_temp_dir();
    korva_run help = run_korva_in(dir, "", "", "fit --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(contains(help.out, "--outcomes")) << help.out;
    EXPECT_TRUE(contains(help.out, "Examples:")) << help.out;
    korva_run version = run_korva_in(dir, "", "", "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("korva ", 0), 0u) << version.out;
}

TEST(FitCommand, WarnsOfFewHeldOutSubjectsAndManyCategories) {
    // 20 subjects, a column of 16 labels: too few to split, but the warnings
    // are given before any work.
    std::string csv = "city,y\n";
    for (int s = 0; s < 20; s++) {
        csv += 'c';
        csv += std::to_string(10 + s % 16);
        csv += s % 3 != 0 ? ",1\n" : ",0\n";
    }
    std::string dir = make_temp_dir();
    write_file(dir + "/d.csv", csv);
    korva_run r = run_korva_in(dir, "", "", "fit d.csv --outcomes y --folds 4 --repeats 1 -q");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.err, "warning: 4 folds of 20 subjects hold out 5 subjects each"))
        << r.err;
    EXPECT_TRUE(contains(r.err, "warning: nominal column \"city\" has 16 categories: the split "
                                "search tries all 32767 divisions of them at every node"))
        << r.err;
}

TEST(FitCommand, PairwiseModelAndFoldsGivenByFileOrColumn) {
    // The first repetition of the bundled fixed folds, given as a file and as
    // a column of the table, gives the same report under both node models.
    const std::string folds = read_file(source_path("examples/folds/birthwt.folds"));
    std::string first_column, csv;
    {
        std::istringstream lines(folds);
        std::string line;
        while (std::getline(lines, line)) first_column += line.substr(0, line.find(' ')) + "\n";
        std::istringstream data(read_file(source_path("examples/birthwt.csv")));
        std::istringstream fold(first_column);
        std::string f;
        std::getline(data, line);
        csv = line + ",fold\n";
        while (std::getline(data, line) && std::getline(fold, f)) csv += line + "," + f + "\n";
    }
    const std::string options =
        "--outcomes low,ht,ui --nominal race,smoke --ordinal ptl,ftv --ignore bwt -q --out run";
    for (const char* model : {"common", "pairwise"}) {
        std::string dir = make_temp_dir();
        write_file(dir + "/b.csv", csv);
        write_file(dir + "/b.folds", first_column);
        const std::string args = std::string("fit b.csv ") + options + " --model " + model;
        korva_run by_file = run_korva_in(dir, "", "", args + " --fold-file b.folds --folds 5");
        ASSERT_EQ(by_file.status, 0) << by_file.err;
        const std::string report = read_file(dir + "/run/infor");
        const std::string model_text = read_file(dir + "/run/model.json");
        korva_run by_column = run_korva_in(dir, "", "", args + " --fold-column fold");
        ASSERT_EQ(by_column.status, 0) << by_column.err;
        EXPECT_TRUE(read_file(dir + "/run/infor") == report) << model;
        EXPECT_EQ(report.find("\n\n") != std::string::npos, true);
        EXPECT_TRUE(contains(model_text, std::string("\"node_model\": \"") + model + "\""));
        EXPECT_EQ(contains(model_text, "\"pair_params\""), std::string(model) == "pairwise");
        EXPECT_TRUE(contains(model_text, "\"folds_from\": \"b.folds\"")) << model;
        EXPECT_TRUE(contains(model_text, "\"repeats\": 1,")) << model;
    }
}

TEST(FitCommand, BadInputEndsWithOneErrorLineAndNoReport) {
    const std::string small = "a,b,y\n1,x,1\n2,y,0\n3,x,1\n4,y,0\n";
    std::string folds = "x,f,y1,y2\n";
    for (int s = 0; s < 12; s++) {
        folds += std::to_string(s);
        folds += s % 3 == 0 ? ",1," : ",2,";
        folds += s % 2 == 0 ? "1,0\n" : "0,1\n";
    }
    // Eleven outcomes are too many for the pairwise model.
    std::string wide = "x", eleven = "y0";
    for (int j = 1; j < 11; j++) eleven += ",y" + std::to_string(j);
    wide += "," + eleven + "\n";
    for (int s = 0; s < 4; s++) {
        wide += std::to_string(s);
        for (int j = 0; j < 11; j++) wide += (s + j) % 2 != 0 ? ",1" : ",0";
        wide += "\n";
    }
    struct bad {
        const std::string& csv;
        std::string args, error;
    };
    const std::string y12 = "d.csv --outcomes y1,y2 -q ";
    const std::vector<bad> cases = {
        {small, "d.csv --outcomes z", "column"},
        {small, "d.csv", "--outcomes"},
        {small, "d.csv --outcomes y --folds 1", "--folds 1"},
        {small, "d.csv --outcomes y --folds 5", "more folds than subjects"},
        {small, "d.csv --outcomes y --threads 0", "--threads"},
        {small, "d.csv --outcomes y --frobnicate", "frobnicate"},
        {small, "missing.csv --outcomes y", "missing.csv"},
        {small, "d.csv --outcomes y --missing-code 9", "--missing-code"},
        {folds, y12 + "--fold-column f --folds 3", "--folds 3, but the given folds number 2"},
        {folds, y12 + "--fold-column f --repeats 2",
         "--repeats 2, but the given folds have 1 repetition"},
        {folds, y12 + "--fold-column x",
         "column \"x\": expected a fold, a whole number from 1, found \"0\""},
        {folds, y12 + "--fold-column g", "--fold-column names \"g\", which is not a column"},
        {folds, y12 + "--fold-column f --fold-file f.folds", "give one of them"},
        {folds, y12 + "--fold-file none.folds", "none.folds"},
        {folds, y12 + "--model triple", "--model"},
        {wide, "d.csv --folds 2 --model pairwise --outcomes " + eleven,
         "the pairwise model takes at most 10 outcomes, not 11"},
    };
    for (const bad& c : cases) {
        std::string dir = make_temp_dir();
        write_file(dir + "/d.csv", c.csv);
        korva_run r = run_korva_in(dir, "", "", "fit " + c.args + " --out run");
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << c.args << ": " << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << c.args << ": " << r.err;
        EXPECT_TRUE(contains(r.err, c.error)) << c.args << ": " << r.err;
        EXPECT_TRUE(read_file(dir + "/run/infor").empty()) << c.args;
    }
}
