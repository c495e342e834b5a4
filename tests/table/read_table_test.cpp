// Typed table: kinds declared and inferred, missing cells, labels in byte
// order, the category limit around 25, and every refusal with its message.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "table/read_table.h"

namespace {

bool read_text(const std::string& text, const table_options& options, data_table& table,
               std::string& error) {
    std::FILE* f = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    bool ok = read_table_stream(f, "t.csv", options, table, error);
    std::fclose(f);
    return ok;
}

std::string refusal(const std::string& text, const table_options& options) {
    data_table table;
    std::string error;
    return read_text(text, options, table, error) ? "(read)" : error;
}

using reals = std::vector<real>;
using flags = std::vector<unsigned char>;
using names = std::vector<std::string>;

} // namespace

TEST(ReadTable, KindsValuesMissingCellsAndLabels) {
    const std::string text = "y1;y2;id;x;o;g;lab;lab2\n"
                             "yes;TRUE;\"a\"\"b\";1.5;2;0;b;10\n"
                             "No;false; ; NA ;;3;\xC3\xA9;9\n"
                             "YES;1;-;.;0;;B;\n"
                             "no;0;x;-2e3;1;1;a;x\n";
    table_options options;
    options.outcomes = {"y1", " y2"};
    options.ignore = {"id"};
    options.ordinal = {"o"};
    options.nominal = {"g", "lab2"};
    options.na = {"."};
    data_table t;
    std::string error;
    ASSERT_TRUE(read_text(text, options, t, error)) << error;
    ASSERT_EQ(t.rows, 4);
    EXPECT_EQ(t.delimiter, ';');
    const auto& c = t.columns;
    ASSERT_EQ(c.size(), 8u);
    const column_kind kinds[] = {column_outcome, column_outcome, column_ignored, column_continuous,
                                 column_ordinal, column_nominal, column_nominal, column_nominal};
    const bool declared[] = {true, true, true, false, true, true, false, true};
    for (int k = 0; k < 8; k++) {
        EXPECT_EQ(c[k].kind, kinds[k]) << k;
        EXPECT_EQ(c[k].declared, declared[k]) << k;
    }
    EXPECT_EQ(c[0].outcome, (flags{1, 0, 1, 0}));
    EXPECT_EQ(c[1].outcome, (flags{1, 0, 1, 0}));
    EXPECT_TRUE(c[2].values.empty() && c[2].missing.empty());
    EXPECT_EQ(c[3].values, (reals{1.5f, 0, 0, -2000}));
    EXPECT_EQ(c[3].missing, (flags{0, 1, 1, 0}));
    EXPECT_EQ(c[3].missing_count, 2);
    EXPECT_EQ(c[4].values, (reals{2, 0, 0, 1}));
    EXPECT_EQ(c[4].missing, (flags{0, 1, 0, 0}));
    // Numbers are their own categories; labels are numbered in byte order.
    EXPECT_EQ(c[5].values, (reals{0, 3, 0, 1}));
    EXPECT_EQ(c[5].categories, 4);
    EXPECT_TRUE(c[5].labels.empty());
    EXPECT_EQ(c[6].labels, (names{"B", "a", "b", "\xC3\xA9"}));
    EXPECT_EQ(c[6].values, (reals{2, 3, 0, 1}));
    // Numbers among text are labels too.
    EXPECT_EQ(c[7].labels, (names{"10", "9", "x"}));
    EXPECT_EQ(c[7].values, (reals{0, 1, 0, 2}));
    EXPECT_EQ(c[7].missing, (flags{0, 0, 1, 0}));
    EXPECT_EQ(c[7].categories, 3);
}

TEST(ReadTable, RefusalsNameFileLineAndColumn) {
    struct {
        std::string text;
        table_options options;
        const char* message;
    } cases[] = {
        {"y,x\n1,2\n",
         {{}, {}, {}, {}, {}},
         "t.csv: no outcome column named (expected --outcomes with at least one column)"},
        {"y,x\n1,2\n",
         {{"y"}, {"z"}, {}, {}, {}},
         "t.csv:1: --nominal names \"z\", which is not a column (the columns are \"y\", \"x\")"},
        {"y,x\n1,2\n",
         {{"y"}, {"x"}, {"x"}, {}, {}},
         "t.csv:1: column \"x\" is named by both --nominal and --ordinal (expected each column "
         "in one list only)"},
        {"y,x\n1,2\n",
         {{"y"}, {}, {}, {"x"}, {}},
         "t.csv:1: no covariate column (expected at least one column that is neither an outcome "
         "nor ignored)"},
        {"y,x\n",
         {{"y"}, {}, {}, {}, {}},
         "t.csv:2: no data row (expected at least one record after the header)"},
        {"y,x\n1,2\n2,3\n",
         {{"y"}, {}, {}, {}, {}},
         "t.csv:3: column \"y\": expected 0/1, TRUE/FALSE or yes/no, found \"2\" (rows whose "
         "outcome is not one of these must be dropped or recoded first)"},
        // A missing spelling names covariate values only.
        {"y,x\n0,0\n1,2\n", {{"y"}, {}, {}, {}, {"0"}}, "(read)"},
        {"y,x\n1,2\nNA,3\n",
         {{"y"}, {}, {}, {}, {}},
         "t.csv:3: column \"y\": expected 0/1, TRUE/FALSE or yes/no, found \"NA\", a missing "
         "outcome (rows with a missing outcome must be dropped first)"},
        {"y,x\n1,2\n0,low\n",
         {{"y"}, {}, {"x"}, {}, {}},
         "t.csv:3: column \"x\": expected a number, found \"low\""},
        {"y,x,z\n1,2,0\n0,3,1.5\n1,4,\"a\"\n", {{"y"}, {"z"}, {}, {}, {}}, "(read)"},
        {"y,x\n1,2\n0,-1\n",
         {{"y"}, {"x"}, {}, {}, {}},
         "t.csv:3: column \"x\": expected a whole number from 0 up (a category), found \"-1\""},
        {"y,x\n1,2.5\n0,Inf\n",
         {{"y"}, {}, {}, {}, {}},
         "t.csv:3: column \"x\": expected a finite number, found \"Inf\""},
        {"y,x\xE2\x80\x8B\n1,2\n0,\"\x1B[2J\xC2\x85\\\"\"\"\n",
         {{"y"}, {}, {"x\xE2\x80\x8B"}, {}, {}},
         "t.csv:3: column \"x\\xe2\\x80\\x8b\": expected a number, found "
         "\"\\x1b[2J\\xc2\\x85\\\\\\\"\""},
    };
    for (const auto& c : cases) EXPECT_EQ(refusal(c.text, c.options), c.message) << c.text;
}

TEST(ReadTable, CategoryLimitCountsOneForMissingValues) {
    // count cells 0, 1, ... (or labels LA, LB, ...), then a missing cell, then extra.
    auto limit = [](int count, bool labels, bool missing, bool declare, std::string extra = "") {
        std::string text = "y,x\n";
        for (int i = 0; i < count; i++) {
            text += "1," +
                    (labels ? std::string("L") + static_cast<char>('A' + i) : std::to_string(i)) +
                    "\n";
        }
        if (missing) text += "0,\n";
        if (!extra.empty()) text += "0," + extra + "\n";
        table_options options;
        options.outcomes = {"y"};
        if (declare) options.nominal = {"x"};
        return refusal(text, options);
    };
    EXPECT_EQ(limit(25, false, false, true), "(read)");
    EXPECT_EQ(limit(24, false, true, true), "(read)");
    EXPECT_EQ(limit(25, false, true, true), "t.csv:1: column \"x\": expected at most 25 "
                                            "categories, found 26 (the numbers 0 to 24, and one "
                                            "for missing values)");
    EXPECT_EQ(limit(26, false, false, true), "t.csv:1: column \"x\": expected at most 25 "
                                             "categories, found 26 (the numbers 0 to 25)");
    EXPECT_EQ(limit(25, true, false, false), "(read)");
    EXPECT_EQ(limit(24, true, true, false), "(read)");
    EXPECT_EQ(limit(25, true, true, false), "t.csv:1: column \"x\": expected at most 25 "
                                            "categories, found 26 (25 labels, and one for "
                                            "missing values)");
    EXPECT_EQ(limit(26, true, false, false), "t.csv:27: column \"x\": expected at most 25 "
                                             "categories, found a further label \"LZ\"");
    // A column of many numbers is continuous; text in it cannot make 25 categories.
    EXPECT_EQ(limit(30, false, false, false), "(read)");
    EXPECT_EQ(limit(26, false, false, false, "?"),
              "t.csv:28: column \"x\": expected numbers, or text of at most 25 categories, found "
              "\"?\" among more than 25 distinct values");
}
