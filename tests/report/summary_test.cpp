// The subtree table on hand-made report files whose values were worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "report/report.h"
#include "report_fixture.h"

namespace {

report_file parsed(const std::string& text, const std::string& name = "test.infor") {
    report_file rep;
    std::string error;
    EXPECT_TRUE(parse_report(text, name, rep, error)) << error;
    return rep;
}

} // namespace

// hand_nine_nodes.infor: leaves 3, 5, 6, 7, 8 of the grown tree; subtree 2 cuts node 4
// (leaves 7, 8 -> 4), subtree 3 cuts node 2, subtree 4 cuts the root. Scores over three
// repetitions: subtree 2 has mean 508 (deviations -3, 1, 2: sd sqrt(7), SE 1.5275), so the
// one-SE limit is 509.53 and subtree 3 (mean 509, 3 terminal nodes) is the 1-SE choice.
TEST(ReportSummary, HandWorkedNineNodeFile) {
    report_file rep = parsed(fixture_text("hand_nine_nodes.infor"));
    ASSERT_EQ(rep.nodes.size(), 9u);
    ASSERT_EQ(rep.subtrees.size(), 4u);
    EXPECT_DOUBLE_EQ(rep.subtrees[2].alpha, 5.0);
    cv_summary sum;
    summarize_cv(rep, sum);
    EXPECT_EQ(sum.repetitions, 3);
    EXPECT_EQ(sum.terminal_nodes, (std::vector<int>{5, 4, 3, 1}));
    const double mean[4] = {522, 508, 509, 532};
    const double se[4] = {2 / std::sqrt(3.0), std::sqrt(7.0 / 3), std::sqrt(13.0 / 3),
                          2 / std::sqrt(3.0)};
    for (int j = 0; j < 4; j++) {
        EXPECT_NEAR(sum.mean[j], mean[j], 1e-9) << "subtree " << j + 1;
        EXPECT_NEAR(sum.se[j], se[j], 1e-9) << "subtree " << j + 1;
    }
    EXPECT_EQ(sum.best, 1);
    EXPECT_EQ(sum.one_se, 2);

    std::ostringstream table;
    print_table(table, rep, sum);
    EXPECT_NE(table.str().find("   2      3.000000         4      508.00        1.53  min\n"),
              std::string::npos)
        << table.str();
    EXPECT_NE(table.str().find("   3      5.000000         3      509.00        2.08  1se\n"),
              std::string::npos)
        << table.str();
}

// The table is marked unreliable when the folds hold out fewer than 10 subjects
// each (9 of 99 with 11 folds, 10 of 110, 11 of 121), and never when the folds
// are unknown, as in a report file.
TEST(ReportSummary, FewHeldOutSubjectsMarkTheTableUnreliable) {
    report_file rep = parsed(fixture_text("hand_nine_nodes.infor"));
    cv_summary sum;
    summarize_cv(rep, sum);
    auto marked = [&](int folds, int subjects) {
        sum.folds = folds;
        sum.subjects = subjects;
        std::ostringstream table;
        print_table(table, rep, sum);
        return table.str().find("unreliable: ") != std::string::npos;
    };
    EXPECT_TRUE(marked(11, 109));
    EXPECT_FALSE(marked(11, 110));
    EXPECT_FALSE(marked(11, 121));
    EXPECT_TRUE(marked(99, 99));
    EXPECT_FALSE(marked(0, 0));
}

// Pruning an ancestor after its descendant on the same line is how one step can cut
// twice; both removed branches count.
TEST(ReportSummary, SeveralNodesOnOnePruningLine) {
    const std::string text = replaced(fixture_text("hand_nine_nodes.infor"), "2th 3.000000: 4 \n",
                                      "2th 3.000000: 4 1 \n");
    report_file rep = parsed(text);
    cv_summary sum;
    summarize_cv(rep, sum);
    EXPECT_EQ(sum.terminal_nodes, (std::vector<int>{5, 3, 2, 1}));
    std::vector<int> in, terminal;
    subtree_membership(rep, 2, in, terminal);
    EXPECT_EQ(in, (std::vector<int>{1, 1, 1, 0, 0, 1, 1, 0, 0}));
    EXPECT_EQ(terminal[1], 1);
    EXPECT_EQ(terminal[2], 0);
}

// Equal lowest means go to the smaller subtree; a subtree within the SE but larger than
// the lowest-mean one is never the 1-SE choice.
TEST(ReportSummary, TiesAndTheOneSeRuleNeverGrowTheTree) {
    std::string head = fixture_text("hand_nine_nodes.infor");
    head = head.substr(0, head.find("  520.00"));
    report_file rep = parsed(head + "  510.00   500.00   500.00   530.00 \n" +
                             "  512.00   502.00   502.00   534.00 \n");
    cv_summary sum;
    summarize_cv(rep, sum);
    EXPECT_EQ(sum.best, 2);
    EXPECT_EQ(sum.one_se, 2);

    // Subtree 1 (5 leaves) lies within the SE of subtree 2 but is bigger.
    rep = parsed(head + "  509.00   508.00   520.00   530.00 \n" +
                 "  509.00   510.00   520.00   534.00 \n");
    summarize_cv(rep, sum);
    EXPECT_EQ(sum.best, 1);
    EXPECT_EQ(sum.one_se, 1);
}

// One repetition: no standard error, shown as "-", and the 1-SE choice is the minimum.
// No repetitions: means are "-" too and nothing is chosen.
TEST(ReportSummary, OneAndZeroRepetitions) {
    std::string head = fixture_text("hand_nine_nodes.infor");
    head = head.substr(0, head.find("  520.00"));
    report_file rep = parsed(head + "  520.00   505.00   504.00   530.00 \n");
    cv_summary sum;
    summarize_cv(rep, sum);
    EXPECT_EQ(sum.best, 2);
    EXPECT_EQ(sum.one_se, 2);
    std::ostringstream one;
    print_table(one, rep, sum);
    EXPECT_NE(one.str().find("   3      5.000000         3      504.00           -  min  1se\n"),
              std::string::npos)
        << one.str();

    rep = parsed(head);
    summarize_cv(rep, sum);
    EXPECT_EQ(sum.repetitions, 0);
    EXPECT_EQ(sum.best, -1);
    EXPECT_EQ(sum.one_se, -1);
    EXPECT_EQ(sum.terminal_nodes, (std::vector<int>{5, 4, 3, 1}));
    std::ostringstream none;
    print_table(none, rep, sum);
    EXPECT_NE(none.str().find("   1      0.000000         5           -           -\n"),
              std::string::npos)
        << none.str();
}

// votes_5fold_3rep.infor, from a run on the bundled votes data: six leaves (4, 5, 7, 8, 9,
// 10), then nodes 3, 6, 2, 1 and the root are cut. Worked by hand from its three rows:
// subtree 4 has the lowest mean, 578.98, with SE 7.83 (limit 586.80); subtree 5 (mean
// 583.47, two leaves) is the smallest within it; subtree 6 (716.74) is not.
TEST(ReportSummary, HandWorkedVotesRun) {
    report_file rep = parsed(fixture_text("votes_5fold_3rep.infor"));
    cv_summary sum;
    summarize_cv(rep, sum);
    EXPECT_EQ(sum.terminal_nodes, (std::vector<int>{6, 5, 4, 3, 2, 1}));
    const double mean[6] = {1746.98 / 3, 1748.22 / 3, 1742.68 / 3,
                            1736.93 / 3, 1750.40 / 3, 2150.23 / 3};
    const double se[6] = {7.9185612, 8.3520437, 11.0122422, 7.8283381, 5.3025225, 73.5353752};
    for (int j = 0; j < 6; j++) {
        EXPECT_NEAR(sum.mean[j], mean[j], 1e-9) << "subtree " << j + 1;
        EXPECT_NEAR(sum.se[j], se[j], 1e-6) << "subtree " << j + 1;
    }
    EXPECT_EQ(sum.best, 3);
    EXPECT_EQ(sum.one_se, 4);
}

// Every committed report file, here and among the whole-run expectations, is accepted and
// its sizes end at the root alone.
TEST(ReportSummary, CommittedRunsAreAccepted) {
    std::vector<std::string> paths;
    for (const char* name : {"birthwt_5fold_10rep.infor", "pbc_5fold_3rep.infor",
                             "votes_5fold_3rep.infor", "hand_nine_nodes.infor"})
        paths.push_back(fixture_path(name));
    std::error_code ec;
    for (const auto& entry :
         std::filesystem::directory_iterator(source_path("tests/driver/golden"), ec))
        // Runs that stopped before pruning leave a file without a pruning block; skip them.
        if (entry.path().extension() == ".infor" &&
            read_file(entry.path().string()).find("\n1th ") != std::string::npos)
            paths.push_back(entry.path().string());
    for (const std::string& name : paths) {
        report_file rep = parsed(read_file(name), name);
        cv_summary sum;
        summarize_cv(rep, sum);
        ASSERT_FALSE(sum.terminal_nodes.empty()) << name;
        EXPECT_EQ(sum.terminal_nodes.back(), 1) << name;
        if (rep.cv_rows.empty()) continue;
        EXPECT_GE(sum.best, 0) << name;
        EXPECT_LE(sum.terminal_nodes[sum.one_se], sum.terminal_nodes[sum.best]) << name;
    }
}
