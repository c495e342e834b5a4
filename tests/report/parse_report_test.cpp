// Refusal of damaged report files: each names the file and the offending line.
#include <gtest/gtest.h>

#include "report/report.h"
#include "report_fixture.h"

namespace {

std::string refusal(const std::string& text) {
    report_file rep;
    std::string error;
    EXPECT_FALSE(parse_report(text, "bad.infor", rep, error)) << "accepted:\n" << text;
    return error;
}

std::string good() {
    return fixture_text("hand_nine_nodes.infor");
}

} // namespace

TEST(ReportParse, NominalRowsAndTerminalRowsAreRead) {
    report_file rep;
    std::string error;
    ASSERT_TRUE(parse_report(good(), "good.infor", rep, error)) << error;
    EXPECT_TRUE(rep.nodes[1].nominal);
    EXPECT_EQ(rep.nodes[1].right_categories, (std::vector<int>{1, 3}));
    EXPECT_EQ(rep.nodes[1].column, 5);
    EXPECT_DOUBLE_EQ(rep.nodes[0].cut, 30.5);
    EXPECT_DOUBLE_EQ(rep.nodes[8].likelihood, 70.0);
    EXPECT_EQ(rep.nodes[4].left, 7);
    EXPECT_EQ(rep.nodes[4].right, 8);
    EXPECT_EQ(rep.cv_rows.size(), 3u);
    EXPECT_EQ(rep.cv_lines[0], 17);
}

TEST(ReportParse, TruncatedFilesAreRefused) {
    const std::string text = good();
    EXPECT_EQ(refusal(""), "bad.infor: file is empty");
    // Cut inside the tree table, at a line end and in the middle of a line.
    std::string rows = text.substr(0, text.find("5 \t 40"));
    EXPECT_EQ(
        refusal(rows),
        "bad.infor:7: file ends inside the tree table (no pruning block follows; truncated?)");
    EXPECT_EQ(refusal(rows + "5 \t 4"),
              "bad.infor:8: file ends in the middle of a line (truncated?)");
    // Cut after the empty line, before any pruning line.
    std::string table = text.substr(0, text.find("1th"));
    EXPECT_NE(refusal(table).find("bad.infor:12: expected the pruning block"), std::string::npos);
    // Cut inside a cross-validation row.
    std::string cv = text.substr(0, text.find("  509.00") + 8);
    EXPECT_EQ(refusal(cv), "bad.infor:18: file ends in the middle of a line (truncated?)");
}

TEST(ReportParse, BadTreeTableRowsAreRefused) {
    const std::string text = good();
    EXPECT_EQ(refusal("hello\n"),
              "bad.infor:1: not a korva report: expected the tree table header");
    EXPECT_EQ(refusal(replaced(text, "\t likelihood \n", "\t loglik \n")),
              "bad.infor:2: expected the column titles of the tree table");
    EXPECT_EQ(refusal(replaced(text, "6 \t 40 \t 0", "6 \t 4x0 \t 0")),
              "bad.infor:9: tree table row: cases \"4x0\" is not a whole number");
    EXPECT_NE(refusal(replaced(text, "6 \t 40 \t 0 \t 0 \t 2 0.000000 \t 95.000000",
                               "6 \t 40 \t 0 \t 0 \t 2 0.000000"))
                  .find("bad.infor:9: tree table row has 6 fields"),
              std::string::npos);
    EXPECT_EQ(refusal(replaced(text, "6 \t 40", "7 \t 40")),
              "bad.infor:9: tree table row for node 7 where node 6 was expected");
    EXPECT_EQ(refusal(replaced(text, "{1,3}", "{1;3}")),
              "bad.infor:4: tree table row: bad category list \"{1;3}\"");
    EXPECT_EQ(refusal(replaced(text, "2 45.000000", "2 4.5e")),
              "bad.infor:5: tree table row: split value \"4.5e\" is not a number");
    // Daughters outside the table, not in pairs, or with two parents.
    EXPECT_NE(refusal(replaced(text, "4 \t 60 \t 7 \t 8", "4 \t 60 \t 9 \t 10"))
                  .find("bad.infor:7: node 4: daughter 10 is not in the table"),
              std::string::npos);
    EXPECT_EQ(refusal(replaced(text, "4 \t 60 \t 7 \t 8", "4 \t 60 \t 7 \t 0")),
              "bad.infor:7: node 4: only one of the two daughters is given");
    EXPECT_EQ(refusal(replaced(text, "4 \t 60 \t 7 \t 8", "4 \t 60 \t 5 \t 6")),
              "bad.infor:8: node 5 has 2 parents in the tree table");
}

TEST(ReportParse, BadPruningLinesAreRefused) {
    const std::string text = good();
    EXPECT_EQ(refusal(replaced(text, "3th 5.000000", "4th 5.000000")),
              "bad.infor:15: pruning line \"4th\" where 3th was expected");
    EXPECT_EQ(refusal(replaced(text, "3th 5.000000:", "3th 5.000000")),
              "bad.infor:15: pruning line 3th: expected the alpha value followed by ':'");
    EXPECT_EQ(refusal(replaced(text, "3th 5.000000: 2", "3th 5.000000: 12")),
              "bad.infor:15: pruning line 3th: \"12\" is not a node of the tree table");
    // A terminal node of the grown tree, a node pruned twice, a node below a pruned one.
    EXPECT_EQ(refusal(replaced(text, "3th 5.000000: 2", "3th 5.000000: 5")),
              "bad.infor:15: pruning line 3th: node 5 is not an internal node of subtree 2");
    EXPECT_EQ(refusal(replaced(text, "3th 5.000000: 2", "3th 5.000000: 4")),
              "bad.infor:15: pruning line 3th: node 4 is not an internal node of subtree 2");
    EXPECT_EQ(refusal(replaced(text, "2th 3.000000: 4", "2th 3.000000: 1 4")),
              "bad.infor:14: pruning line 2th: node 4 is not an internal node of subtree 1");
    EXPECT_EQ(refusal(text + "5th 13.000000: \n"),
              "bad.infor:20: pruning line after the cross-validation rows");
}

TEST(ReportParse, BadCrossValidationRowsAreRefused) {
    const std::string text = good();
    EXPECT_EQ(refusal(text + "  1.00   2.00   3.00 \n"),
              "bad.infor:20: cross-validation row has 3 scores, expected 4 (one per subtree)");
    EXPECT_EQ(refusal(text + "  1.00   2.00   3.00   4.00   5.00 \n"),
              "bad.infor:20: cross-validation row has 5 scores, expected 4 (one per subtree)");
    EXPECT_EQ(refusal(replaced(text, "  509.00", "  5o9.00")),
              "bad.infor:18: cross-validation row: \"5o9.00\" is not a number");
}
