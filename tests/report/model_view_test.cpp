// The views of a fitted model on the hand-made model of model_fixture.h:
// rules in names and labels, the text view and profile table worked by hand,
// the JSON holding the same numbers, and the pictures well formed.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <sstream>

#include "model_fixture.h"
#include "modelfile/model_report.h"
#include "report_fixture.h"
#include "reportmodel/model_dot.h"
#include "reportmodel/model_rules.h"
#include "reportmodel/model_text.h"
#include "reportmodel/profiles_svg.h"
#include "reportmodel/report_json.h"

namespace {

std::string joined(const std::vector<std::string>& parts) {
    std::string s;
    for (const std::string& p : parts) s += (s.empty() ? "" : "; ") + p;
    return s;
}

bool has_line(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

} // namespace

// Rules lead into a node: the nominal split by its labels (the shorter list,
// so the left side reads "not in"), missing values with the side they go to;
// along a path the bounds of one column merge, and a missing value only
// passes when every split on the path sends it that way.
TEST(ModelView, RulesInNamesAndLabels) {
    const fitted_model m = hand_model();
    struct expected {
        int node;
        std::string rule, path;
    };
    for (const expected& e : std::vector<expected>{
             {0, "all subjects", ""},
             {1, "group not in {placebo}", "group not in {placebo}"},
             {2, "group in {placebo}", "group in {placebo}"},
             {3, "dose <= 4.5", "group not in {placebo}; dose <= 4.5"},
             {4, "dose > 4.5 or missing", "group not in {placebo}; dose > 4.5 or missing"},
             {5, "dose <= 2 or missing", "group not in {placebo}; dose <= 2"},
             {6, "dose > 2", "group not in {placebo}; 2 < dose <= 4.5"},
         }) {
        EXPECT_EQ(node_rule(m, e.node), e.rule) << "node " << e.node;
        EXPECT_EQ(joined(path_conditions(m, e.node)), e.path) << "node " << e.node;
    }
    // A cut below every observed value leaves only the missing values on the left.
    fitted_model below = hand_model();
    below.nodes[3].split.cut = 0.5f;
    EXPECT_EQ(node_rule(below, 5), "dose is missing");
    EXPECT_EQ(node_rule(below, 6), "dose is not missing");
    // Categories without text labels are their numbers.
    fitted_model numbers = hand_model();
    numbers.data.columns[0].labels.clear();
    EXPECT_EQ(node_rule(numbers, 2), "group in {1}");
}

// Rates are positives / cases (node 2: 1 of 4 = 0.250); the odds ratio is
// e^omega: node 5 ln 2 -> 2.00, node 2 -ln 4 -> 0.25, node 6 0 -> 1.00; node 4
// has a pure (only one outcome in its fit), so no odds ratio.
TEST(ModelView, TextViewAndProfilesWorkedByHand) {
    const fitted_model m = hand_model();
    std::ostringstream text;
    const subtree_view view = view_of_subtree(m, 1, "chosen by number");
    print_subtree(text, m, view);
    print_profiles(text, m, view);
    const std::string t = text.str();
    for (const char* line : {
             "node                            cases      a      b",
             "0  all subjects                    10  0.500  0.400",
             "  1  group not in {placebo}         6  0.667  0.500",
             "    3  dose <= 4.5                  4  0.500  0.500",
             "      5  dose <= 2 or missing       2  0.500  0.500  terminal",
             "      6  dose > 2                   2  0.500  0.500  terminal",
             "    4  dose > 4.5 or missing        2  1.000  0.500  terminal",
             "  2  group in {placebo}             4  0.250  0.250  terminal",
             "     5      2  0.500   0.520  0.500   0.480         2.00",
             "     6      2  0.500   0.500  0.500   0.500         1.00",
             "     4      2  1.000    pure  0.500   0.450            -",
             "     2      4  0.250   0.300  0.250   0.200         0.25",
         })
        EXPECT_TRUE(has_line(t, line)) << "no line \"" << line << "\" in\n" << t;
    EXPECT_NE(t.find("multiplies the odds of any outcome by 2.00 (the outcomes go together)"),
              std::string::npos)
        << t;

    // Subtree 2 cuts node 3: its daughters go, it becomes terminal.
    const subtree_view cut = view_of_subtree(m, 2, "");
    EXPECT_EQ(cut.order, (std::vector<int>{0, 1, 3, 4, 2}));
    EXPECT_EQ(cut.terminal_nodes, (std::vector<int>{3, 4, 2}));
}

TEST(ModelView, JsonHoldsTheTextViewsNumbers) {
    const fitted_model m = hand_model();
    const report_file rep = model_as_report(m, "hand.json");
    const cv_summary sum = model_cv_summary(m);
    const subtree_view view = view_of_subtree(m, 1, "chosen by number");
    const auto j = nlohmann::json::parse(model_view_json(m, rep, sum, view).dump(2));
    EXPECT_EQ(j["kind"], "model");
    EXPECT_EQ(j["subtree"]["terminal_nodes"], nlohmann::json({5, 6, 4, 2}));
    EXPECT_EQ(j["cross_validation"]["subtrees"][1]["terminal"], 3);
    const auto& nodes = j["subtree"]["nodes"];
    ASSERT_EQ(nodes.size(), 7u);
    for (const auto& n : nodes) {
        const model_node_entry& e = m.nodes[n["node"].get<size_t>()];
        EXPECT_EQ(n["rule"], node_rule(m, e.number));
        EXPECT_EQ(n["cases"], e.cases);
        for (size_t o = 0; o < 2; o++) {
            EXPECT_EQ(n["outcomes"][o]["rate"].get<double>(), e.rate[o]);
            EXPECT_EQ(n["outcomes"][o]["probability"].get<double>(), e.model.probability[o]);
        }
    }
    EXPECT_NEAR(nodes[3]["association"]["odds_ratio"].get<double>(), 2.0, 1e-7); // node 5
    EXPECT_TRUE(nodes[5]["association"]["odds_ratio"].is_null());                // node 4
    EXPECT_EQ(nodes[5]["outcomes"][0]["pure"], true);
    EXPECT_EQ(nodes[6]["path"], nlohmann::json({"group in {placebo}"}));
}

// Under the pairwise model each terminal node's odds ratios are a triangle
// (e^0.5 = 1.65, e^-1 = 0.37, e^0 = 1.00; node 2's e^5 and e^-6 out of the
// two decimals' range), the JSON lists the pairs, and the picture draws the
// triangle beside the rates.
TEST(ModelView, PairwiseOddsRatiosInTextJsonAndPicture) {
    const fitted_model m = hand_pairwise_model();
    const subtree_view view = view_of_subtree(m, 1, "chosen by number");
    std::ostringstream text;
    print_profiles(text, m, view);
    const std::string t = text.str();
    for (const char* line : {"  node 5      a      b      c", "  a           -   1.65   0.37",
                             "  b                  -   1.00", "  c                         -",
                             "  node 2      a      b      c", "  a           -   >100  <0.01",
                             "<0.01, >100: an odds ratio below 0.005 or above 100"})
        EXPECT_TRUE(has_line(t, line)) << "no line \"" << line << "\" in\n" << t;
    EXPECT_EQ(t.find("odds ratio\n"), std::string::npos) << t; // no common-model column

    const auto j = nlohmann::json::parse(
        model_view_json(m, model_as_report(m, "hand.json"), model_cv_summary(m), view).dump());
    const auto& pairs = j["subtree"]["nodes"][3]["association"]["pairs"]; // node 5
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[1]["outcomes"], nlohmann::json({"a", "c"}));
    EXPECT_NEAR(pairs[1]["odds_ratio"].get<double>(), std::exp(-1.0), 1e-6);
    EXPECT_FALSE(j["subtree"]["nodes"][3]["association"].contains("odds_ratio"));

    std::ostringstream svg;
    write_profiles_svg(svg, m, view, "hand.json");
    const std::string s = svg.str();
    size_t cells = 0;
    for (size_t at = s.find(": odds ratio "); at != std::string::npos;
         at = s.find(": odds ratio ", at + 1))
        cells++;
    EXPECT_EQ(cells, 15u); // three pairs in each of five rows (the whole data first)
    EXPECT_NE(s.find("<title>a and c: odds ratio 0.37</title>"), std::string::npos);
    EXPECT_NE(s.find("<title>a and b: odds ratio &gt;100</title>"), std::string::npos);
    EXPECT_NE(s.find(">1.65</text>"), std::string::npos);
    EXPECT_NE(s.find("odds ratio of a pair</text>"), std::string::npos); // the legend
    if (!have_program("python3")) return;
    const std::string dir = make_temp_dir();
    write_file(dir + "/pairs.svg", s);
    EXPECT_TRUE(well_formed_xml(dir + "/pairs.svg"));
}

// Names and labels with XML's special characters stay well formed in both
// pictures (Graphviz's HTML-like labels are XML too).
TEST(ModelView, PicturesAreWellFormed) {
    if (!have_program("python3")) GTEST_SKIP() << "python3 is not installed";
    fitted_model m = hand_model();
    m.data.columns[0].labels[1] = "<placebo & \"sham\">";
    m.data.columns[1].name = "dose'mg";
    m.outcomes[0] = "a<b";
    const subtree_view view = view_of_subtree(m, 1, "chosen by number");
    const std::string dir = make_temp_dir();
    std::ostringstream profiles;
    write_profiles_svg(profiles, m, view, "odd & <name>.json");
    write_file(dir + "/profiles.svg", profiles.str());
    EXPECT_TRUE(well_formed_xml(dir + "/profiles.svg")) << profiles.str();
    if (!have_program("dot")) return;
    std::ostringstream dot;
    write_model_dot(dot, m, view);
    std::string error;
    ASSERT_TRUE(render_with_dot(dot.str(), "svg", dir + "/tree.svg", error)) << error;
    EXPECT_TRUE(well_formed_xml(dir + "/tree.svg"));
    EXPECT_NE(read_file(dir + "/tree.svg").find("group in {&lt;placebo &amp;"), std::string::npos);
}
