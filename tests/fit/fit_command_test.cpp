// korva fit as a user runs it: the report equals the dialogue run's on the
// same data (delimited text and korva's data file), and bad input ends with
// one error line, status 1 and no report.
#include <gtest/gtest.h>

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

TEST(FitCommand, BadInputEndsWithOneErrorLineAndNoReport) {
    const std::string csv = "a,b,y\n1,x,1\n2,y,0\n3,x,1\n4,y,0\n";
    struct bad {
        std::string args, error;
    };
    const std::vector<bad> cases = {
        {"d.csv --outcomes z", "column"},
        {"d.csv", "--outcomes"},
        {"d.csv --outcomes y --folds 1", "--folds 1"},
        {"d.csv --outcomes y --folds 5", "more folds than subjects"},
        {"d.csv --outcomes y --threads 0", "--threads"},
        {"d.csv --outcomes y --frobnicate", "frobnicate"},
        {"missing.csv --outcomes y", "missing.csv"},
        {"d.csv --outcomes y --missing-code 9", "--missing-code"},
    };
    for (const bad& c : cases) {
        std::string dir = make_temp_dir();
        write_file(dir + "/d.csv", csv);
        korva_run r = run_korva_in(dir, "", "", "fit " + c.args + " --out run");
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << c.args << ": " << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << c.args << ": " << r.err;
        EXPECT_TRUE(contains(r.err, c.error)) << c.args << ": " << r.err;
        EXPECT_TRUE(read_file(dir + "/run/infor").empty()) << c.args;
    }
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
