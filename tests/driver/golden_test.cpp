// Whole runs on the example data, console text and report compared byte for
// byte with the committed expected output (tests/driver/golden/).
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

struct golden_case {
    std::string name, data_file, dialogue;
};

std::string unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); i++) {
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'n') {
            out += '\n';
            i++;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::vector<golden_case> load_cases() {
    std::vector<golden_case> cases;
    std::ifstream in(source_path("tests/driver/golden/cases.txt"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        size_t a = line.find('|'), b = line.find('|', a + 1);
        cases.push_back(
            {line.substr(0, a), line.substr(a + 1, b - a - 1), unescape(line.substr(b + 1))});
    }
    return cases;
}

void check_case(const golden_case& c, const std::string& env) {
    korva_run r = run_korva(
        c.dialogue, {{c.data_file, read_file(source_path("examples/" + c.data_file))}}, env);
    std::string base = source_path("tests/driver/golden/" + c.name);
    EXPECT_EQ(r.status, 0) << c.name << ": " << r.err;
    EXPECT_EQ(r.err, "") << c.name;
    EXPECT_TRUE(r.out == read_file(base + ".out")) << c.name << ": console text differs";
    ASSERT_TRUE(r.infor_exists) << c.name;
    EXPECT_TRUE(r.infor == read_file(base + ".infor")) << c.name << ": report differs";
}

} // namespace

TEST(GoldenRun, ExampleDataMatchCommittedOutput) {
    std::vector<golden_case> cases = load_cases();
    ASSERT_FALSE(cases.empty());
    for (const golden_case& c : cases) check_case(c, "");
}

TEST(GoldenRun, SameBytesOnOneTwoOrThreeThreads) {
    // One thread is the plain serial path; three on two cores catches any
    // assumption about the order in which workers finish.
    std::vector<golden_case> cases = load_cases();
    for (const char* env : {"KORVA_THREADS=1", "KORVA_THREADS=2", "KORVA_THREADS=3"})
        for (const golden_case& c : cases) check_case(c, env);
}

TEST(GoldenRun, SpareThreadsHelpTheFoldTrees) {
    // Two folds and six threads: each fold tree's searches get two helpers.
    for (const golden_case& c : load_cases())
        if (c.name == "birthwt_2fold") check_case(c, "KORVA_THREADS=6");
}

TEST(GoldenRun, SameRunTwiceGivesIdenticalBytes) {
    golden_case c = load_cases().front();
    korva_run a =
        run_korva(c.dialogue, {{c.data_file, read_file(source_path("examples/" + c.data_file))}});
    korva_run b =
        run_korva(c.dialogue, {{c.data_file, read_file(source_path("examples/" + c.data_file))}});
    EXPECT_EQ(a.status, 0);
    EXPECT_TRUE(a.out == b.out);
    EXPECT_TRUE(a.infor == b.infor);
}
