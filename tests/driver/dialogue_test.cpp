// Whole runs of korva: the console text of the dialogue and the data summaries,
// and the refusal of bad files and bad answers (one error line, status 1, no
// report file).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

// Columns: continuous, outcome, nominal, outcome; -9 marks missing values.
const std::string small_file = "6 2 2\n"
                               "1 -1 3 -1\n"
                               "0.5 1 0 0\n"
                               "1.5 0 1 1\n"
                               "2.5 1 2 1\n"
                               "-9 0 0 0\n"
                               "4.5 1 -9 1\n"
                               "5.5 0 1 0\n";

const std::string banner = "***************************************************\n"
                           "* This is a working-in-progress program for KORVA *\n"
                           "* January 24, 2003.                               *\n"
                           "***************************************************\n";

const std::string prompts = "how many folds of cross validation?\n"
                            "(Hint: enter 2 if you don't want to run too long. Don't go over 5)\n"
                            "many times to repeat the cross validation procedures?\n"
                            "(Hint: enter 1 for large data sets. 10 should be plenty for other "
                            "cases.)\n";

const std::string small_summary = "6 2 2\n"
                                  "data in\n"
                                  "continuous 1: 0.500000 5.500000\n"
                                  "nominal 2: 2(0) 2(1) 1(2) 1(3) \n"
                                  "3 covariates 2 outcomes\n"
                                  "outcome: 3 3 \n"
                                  "(1->2)(2->0)\n";

bool starts_with(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// One refused run: the answers, the whole data file d.dat, the expected error.
struct bad_case {
    const char* name;
    std::string input;
    std::string file;
    std::string error;
};

} // namespace

TEST(Dialogue, ConsoleTextUpToTheRepetitionPrompt) {
    korva_run r = run_korva("d.dat\n1\n-9\n2\n1\n", {{"d.dat", small_file}});
    EXPECT_EQ(r.status, 0) << r.err;
    // Three held-out subjects per fold: only the warning on standard error.
    EXPECT_EQ(r.err.rfind("warning: 2 folds of 6 subjects hold out 3 subjects each: ", 0), 0u)
        << r.err;
    std::string expected = banner +
                           "data filename ?\nAre there any missing data?\n"
                           "Enter the missing value\n" +
                           small_summary + prompts;
    EXPECT_TRUE(starts_with(r.out, expected)) << r.out;
}

TEST(Dialogue, AnswersMayShareLinesAndFileNamesHaveAnyLength) {
    std::string name(150, 'n');
    name += ".dat";
    korva_run r = run_korva("  " + name + " 1\n\n-9 6 0", {{name, small_file}});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(starts_with(r.out, banner +
                                       "data filename ?\nAre there any missing data?\n"
                                       "Enter the missing value\n" +
                                       small_summary + prompts))
        << r.out;
}

TEST(Dialogue, BadFilesAndAnswersEndWithOneErrorLine) {
    const std::string good = "d.dat\n1\n-9\n2\n1\n";
    const std::string header = "6 2 2\n1 -1 3 -1\n";
    const std::string records = small_file.substr(header.size());
    const std::vector<bad_case> cases = {
        {"unopenable file", "missing.dat\n", small_file,
         "error: cannot open data file \"missing.dat\": No such file or directory\n"},
        {"directory as data file", ".\n1\n-9\n", small_file,
         "error: .: header, number of subjects: cannot read the file: Is a directory\n"},
        {"no file name", "", small_file, "error: answer to \"data filename ?\": end of input\n"},
        {"missing-data answer not a number", "d.dat\nyes\n", small_file,
         "error: answer to \"Are there any missing data?\": expected a whole number, found "
         "\"yes\"\n"},
        {"no missing value", "d.dat\n1\n", small_file,
         "error: answer to \"Enter the missing value\": end of input\n"},
        {"missing value not finite", "d.dat\n1\ninf\n", small_file,
         "error: answer to \"Enter the missing value\": \"inf\" is not finite as a float\n"},
        {"empty file", good, "", "error: d.dat: header, number of subjects: end of file\n"},
        {"header not a number", good, "6 two 2\n",
         "error: d.dat: header, number of covariate columns: expected a whole number, found "
         "\"two\"\n"},
        {"no subjects", good, "0 2 2\n1 -1 3 -1\n",
         "error: d.dat: header: 0 subjects; there must be at least 1\n"},
        {"negative count", good, "6 -1 2\n",
         "error: d.dat: header: negative column count (-1 covariate columns, 2 outcomes)\n"},
        {"type code not whole", good, "6 2 2\n1 -1 3.0 -1\n",
         "error: d.dat: type row, column 3: expected a whole number, found \"3.0\"\n"},
        {"short type row", good, "6 2 2\n1 -1\n",
         "error: d.dat: type row, column 3: end of file\n"},
        {"outcome codes differ from q", good, "6 2 2\n1 -1 3 2\n" + records,
         "error: d.dat: type row: 1 negative (outcome) codes, but the header announces 2 "
         "outcomes\n"},
        {"no covariate column", good, "6 2 2\n0 -1 0 -1\n" + records,
         "error: d.dat: type row: no covariate column (no positive code)\n"},
        {"malformed value", good, header + "0.5 1 x 0\n",
         "error: d.dat: subject 1, column 3: expected a number, found \"x\"\n"},
        {"short file", good, small_file.substr(0, small_file.size() - 3),
         "error: d.dat: subject 6, column 4 (outcome): end of file\n"},
        {"values after the last record", good, small_file + "7 1 0 1\n",
         "error: d.dat: line 9: found \"7\" after the last of the 6 records the header "
         "announces (the header's subject count must match the records)\n"},
        {"unprintable bytes quoted safely", good,
         header + "\xef\xbb\xbf"
                  "0.5 1 0 0\n",
         "error: d.dat: subject 1, column 1: expected a number, found \"\\xef\\xbb\\xbf0.5\"\n"},
        {"nul byte quoted safely", good, header + std::string("0.5\0x", 5) + " 1 0 0\n",
         "error: d.dat: subject 1, column 1: expected a number, found \"0.5\\x00x\"\n"},
        {"infinite value", good, header + "0.5 1 0 0\n1e39 0 1 1\n",
         "error: d.dat: subject 2, column 1: \"1e39\" is not finite as a float\n"},
        {"nan value", good, header + "0.5 1 0 0\n1.5 0 nan 1\n",
         "error: d.dat: subject 2, column 3: \"nan\" is not finite as a float\n"},
        {"outcome not 0 or 1", good, header + "0.5 1 0 0\n1.5 0 1 1\n2.5 2 2 1\n",
         "error: d.dat: subject 3, column 2 (outcome): 2 is not 0 or 1\n"},
        {"outcome not whole", good, header + "0.5 1 0 0.5\n",
         "error: d.dat: subject 1, column 4 (outcome): expected a whole number, found "
         "\"0.5\"\n"},
        {"too many categories", good, header + "0.5 1 30 0\n" + records.substr(10),
         "error: nominal covariate 2 (data column 3) has 32 categories; at most 25 are "
         "allowed\n"},
        {"folds not a number", "d.dat\n1\n-9\nfive\n", small_file,
         "error: answer to \"how many folds of cross validation?\": expected a whole number, "
         "found \"five\"\n"},
        {"no folds", "d.dat\n1\n-9\n", small_file,
         "error: answer to \"how many folds of cross validation?\": end of input\n"},
        {"one fold", "d.dat\n1\n-9\n1\n1\n", small_file,
         "error: number of folds 1 is out of range: it must be at least 2 and at most the "
         "number of subjects (6)\n"},
        {"more folds than subjects", "d.dat\n1\n-9\n7\n1\n", small_file,
         "error: number of folds 7 is out of range: it must be at least 2 and at most the "
         "number of subjects (6)\n"},
        {"negative repetitions", "d.dat\n1\n-9\n2\n-1\n", small_file,
         "error: number of repetitions -1 is out of range: it must be 0 or more\n"},
        {"repetitions not whole", "d.dat\n1\n-9\n2\n1.5\n", small_file,
         "error: answer to \"many times to repeat the cross validation procedures?\": "
         "expected a whole number, found \"1.5\"\n"},
        {"no repetitions", "d.dat\n1\n-9\n2\n", small_file,
         "error: answer to \"many times to repeat the cross validation procedures?\": end of "
         "input\n"},
    };
    for (const bad_case& c : cases) {
        korva_run r = run_korva(c.input, {{"d.dat", c.file}});
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_EQ(r.err, c.error) << c.name;
        EXPECT_FALSE(r.infor_exists) << c.name;
    }
}

TEST(Dialogue, ErrorLeavesAnEarlierReportUntouched) {
    korva_run r = run_korva("d.dat\n1\n-9\n1\n1\n", {{"d.dat", small_file}, {"infor", "old\n"}});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.infor, "old\n");
}

TEST(Dialogue, BoundaryAnswersAreAccepted) {
    // As many folds as subjects, and no repetition at all.
    korva_run r = run_korva("d.dat\n1\n-9\n6\n0\n", {{"d.dat", small_file}});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "warning: 6 folds of 6 subjects hold out 1 subject each: a held-out case "
                     "alone in its node adds nothing to the score, so every score will be 0 and "
                     "no subtree can be told from another; with fewer folds (at least 10 held-out "
                     "subjects each) the scores mean more\n");
}
