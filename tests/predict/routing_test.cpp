// korva predict on the hand-made model: each routing rule decides one
// subject's node, the pattern probabilities of nodes with pure outcomes and
// without any fit on their path, and the log-likelihood of a missing outcome.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "hand_model.h"
#include "modelfile/model_json.h"
#include "support/test_support.h"

namespace {

struct routed_case {
    std::string row; // case,x,m,g,h,y1,y2
    int node;
    const char* rule;
};

const std::vector<routed_case> routed_cases = {
    {"A,5,10,b,0,1,0", 7, "values equal to both cuts go left"},
    {"B,5.5,3,c,0,0,1", 6, "category c, absent from node 2, goes right"},
    {"C,1,NA,a,0,1,1", 8, "missing m: below all values at node 1, above at node 3 (copy)"},
    {"D,NA,12,a,1,0,1", 9, "missing x, which training never had: the larger daughter"},
    {"E,9,3,zz,0,1,0", 6, "label zz never seen: the larger daughter"},
    {"F,9,3,,0,0,0", 5, "missing g: the missing category, which went left"},
    {"G,2,15,a,7,0,1", 9, "category 7 beyond h's 0..2: the larger daughter"},
    {"H,2,15,a,2,1,NA", 10, "category 2 goes right; missing outcome"},
    {"I,7,3, a ,0,0,0", 5, "a label with blanks around it"},
};

} // namespace

TEST(PredictRouting, EachRuleSendsItsSubjectToItsNode) {
    const std::string dir = make_temp_dir();
    write_file(dir + "/m.json", model_to_json_text(hand::model()));
    std::string input = "case,x,m,g,h,y1,y2\n";
    for (const routed_case& c : routed_cases) input += c.row + "\n";
    write_file(dir + "/in.csv", input);
    korva_run r = run_korva_in(dir, "", "", "predict m.json in.csv --keep case --patterns");
    ASSERT_EQ(r.status, 0) << r.err;

    const auto rows = hand::csv_rows(r.out);
    ASSERT_EQ(rows.size(), routed_cases.size() + 1) << r.out;
    EXPECT_EQ(rows[0], (std::vector<std::string>{"case", "node", "p_y1", "p_y2", "loglik", "P_00",
                                                 "P_01", "P_10", "P_11"}));
    for (std::size_t i = 0; i < routed_cases.size(); i++) {
        const std::vector<std::string>& row = rows[i + 1];
        ASSERT_EQ(row.size(), 9u) << r.out;
        EXPECT_EQ(std::stoi(row[1]), routed_cases[i].node) << routed_cases[i].rule;
        // The patterns are a law whose marginals are p_y1 and p_y2.
        const double p00 = std::stod(row[5]), p01 = std::stod(row[6]), p10 = std::stod(row[7]),
                     p11 = std::stod(row[8]);
        EXPECT_NEAR(p00 + p01 + p10 + p11, 1.0, 1e-12) << row[0];
        EXPECT_NEAR(p10 + p11, std::stod(row[2]), 1e-12) << row[0];
        EXPECT_NEAR(p01 + p11, std::stod(row[3]), 1e-12) << row[0];
        const int node = routed_cases[i].node;
        if (node == 6) { // no fit on the path: every pattern equally likely
            for (int k = 5; k <= 8; k++) EXPECT_EQ(row[k], "0.25");
            EXPECT_EQ(std::stod(row[4]), -std::log(4.0));
        }
        if (node == 9) {
            EXPECT_EQ(p10 + p11, 0.0) << "y1 is always 0 in node 9";
        }
        if (node == 10) {
            EXPECT_EQ(p00 + p01, 0.0) << "y1 is always 1 in node 10";
        }
    }
    // Node 9 is scored by node 4's fit, whatever y1 is.
    const std::vector<std::string>& d = rows[4];
    const double a4 = std::exp(-0.2f) + std::exp(0.4f) + std::exp(-0.2f + 0.4f + 0.1f) + 1;
    EXPECT_NEAR(std::stod(d[4]), 0.4f - std::log(a4), 1e-6);
    // H's outcome y2 is missing: its loglik is empty.
    EXPECT_EQ(rows[8][4], "");

    EXPECT_NE(r.err.find("subtree 1 of 1 (6 terminal nodes)"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("loglik left empty for 1 subjects with a missing outcome"),
              std::string::npos)
        << r.err;
    for (const char* line : {"column \"x\": 1 missing (training had no missing value there)",
                             "column \"g\": 1 with a value training never had",
                             "column \"h\": 1 with a value training never had"})
        EXPECT_NE(r.err.find(line), std::string::npos) << line << "\n" << r.err;
}
