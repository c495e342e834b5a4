// Split rules, the DOT graph of a subtree (checked by Graphviz itself when it is
// installed) and the SVG pictures (checked with an XML parser).
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "report/report.h"
#include "report_fixture.h"

namespace {

report_file nine_nodes() {
    report_file rep;
    std::string error;
    EXPECT_TRUE(read_report(fixture_path("hand_nine_nodes.infor"), rep, error)) << error;
    return rep;
}

// Nodes and edges of a DOT graph as Graphviz lays it out ("dot -Tplain").
struct plain_graph {
    std::set<std::string> nodes;
    std::set<std::pair<std::string, std::string>> edges;
    std::map<std::string, std::string> shape;
};

bool layout_with_dot(const std::string& dot_text, plain_graph& g) {
    std::string dir = make_temp_dir();
    write_file(dir + "/g.dot", dot_text);
    if (std::system(("dot -Tplain -o '" + dir + "/g.plain' '" + dir + "/g.dot'").c_str()) != 0)
        return false;
    std::istringstream in(read_file(dir + "/g.plain"));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream f(line);
        std::string kind, a, b;
        f >> kind >> a;
        if (kind == "node") {
            g.nodes.insert(a);
            // node name x y width height label style shape color fillcolor
            std::vector<std::string> rest;
            std::string w;
            while (f >> w) rest.push_back(w);
            if (rest.size() >= 3) g.shape[a] = rest[rest.size() - 3];
        } else if (kind == "edge") {
            f >> b;
            g.edges.insert({a, b});
        }
    }
    return true;
}

} // namespace

TEST(ReportPictures, SplitRulesReadAsTheLeftBranch) {
    report_node ordered;
    ordered.column = 7;
    ordered.cut = 2.5;
    EXPECT_EQ(split_rule(ordered, {}), "column 7 <= 2.5");
    report_node nominal;
    nominal.column = 3;
    nominal.nominal = true;
    nominal.right_categories = {1, 3};
    EXPECT_EQ(split_rule(nominal, {}), "column 3 in {0,2}");
    nominal.right_categories = {2};
    EXPECT_EQ(split_rule(nominal, {"age", "lwt", "race"}), "race in {0,1}");
    // A list that leaves nothing on the left cannot be inverted; it is shown as it is.
    nominal.right_categories = {0, 1, 2};
    EXPECT_EQ(split_rule(nominal, {}), "column 3 not in {0,1,2}");
    // Too few names: the column number stays.
    EXPECT_EQ(split_rule(ordered, {"a", "b"}), "column 7 <= 2.5");
}

TEST(ReportPictures, DotGraphHasTheSubtreesNodesAndEdges) {
    if (!have_program("dot")) GTEST_SKIP() << "Graphviz's dot is not installed";
    report_file rep = nine_nodes();
    std::ostringstream dot3;
    write_dot(dot3, rep, 3, {});
    plain_graph g;
    ASSERT_TRUE(layout_with_dot(dot3.str(), g)) << dot3.str();
    EXPECT_EQ(g.nodes, (std::set<std::string>{"n0", "n1", "n2", "n3", "n4"}));
    EXPECT_EQ(g.edges, (std::set<std::pair<std::string, std::string>>{
                           {"n0", "n1"}, {"n0", "n2"}, {"n1", "n3"}, {"n1", "n4"}}));
    // Node 2 was internal in the grown tree but is terminal in subtree 3.
    EXPECT_EQ(g.shape["n0"], "box");
    EXPECT_EQ(g.shape["n2"], "ellipse");
    EXPECT_NE(dot3.str().find("column 5 in {0,2}"), std::string::npos);

    std::ostringstream dot1, dot4;
    write_dot(dot1, rep, 1, {});
    write_dot(dot4, rep, 4, {});
    plain_graph g1, g4;
    ASSERT_TRUE(layout_with_dot(dot1.str(), g1));
    ASSERT_TRUE(layout_with_dot(dot4.str(), g4));
    EXPECT_EQ(g1.nodes.size(), 9u);
    EXPECT_EQ(g1.edges.size(), 8u);
    EXPECT_EQ(g4.nodes, (std::set<std::string>{"n0"}));
    EXPECT_TRUE(g4.edges.empty());
}

TEST(ReportPictures, NamesWithQuotesStayValidDot) {
    if (!have_program("dot")) GTEST_SKIP() << "Graphviz's dot is not installed";
    std::ostringstream dot;
    write_dot(dot, nine_nodes(), 1, {"a", "say \"hi\"\\", "c", "d", "e"});
    plain_graph g;
    ASSERT_TRUE(layout_with_dot(dot.str(), g)) << dot.str();
    EXPECT_EQ(g.nodes.size(), 9u);
}

TEST(ReportPictures, SvgFilesAreWellFormed) {
    if (!have_program("python3")) GTEST_SKIP() << "python3 is not installed";
    report_file rep = nine_nodes();
    cv_summary sum;
    summarize_cv(rep, sum);
    std::string dir = make_temp_dir();
    rep.name = "odd <name> & \"quotes\".infor";
    std::ostringstream plot;
    write_cv_plot(plot, rep, sum);
    write_file(dir + "/plot.svg", plot.str());
    EXPECT_TRUE(well_formed_xml(dir + "/plot.svg"));
    // Ringed choices and one bar per subtree with a standard error.
    EXPECT_NE(plot.str().find("stroke=\"#d62728\""), std::string::npos);
    EXPECT_NE(plot.str().find("lowest mean: subtree 2 (4 terminal nodes)"), std::string::npos);
    EXPECT_NE(plot.str().find("1-SE rule: subtree 3 (3 terminal nodes)"), std::string::npos);

    // One repetition: no bars, still well formed.
    rep.cv_rows.resize(1);
    summarize_cv(rep, sum);
    std::ostringstream single;
    write_cv_plot(single, rep, sum);
    write_file(dir + "/single.svg", single.str());
    EXPECT_TRUE(well_formed_xml(dir + "/single.svg"));
    EXPECT_EQ(single.str().find("<path"), std::string::npos);

    if (have_program("dot")) {
        std::ostringstream dot;
        write_dot(dot, rep, 2, {});
        std::string error;
        ASSERT_TRUE(render_with_dot(dot.str(), "svg", dir + "/tree.svg", error)) << error;
        EXPECT_TRUE(well_formed_xml(dir + "/tree.svg"));
    }
}

// Nominal splits of a real run: the report lists the right-hand categories {1,2} of a
// three-category covariate, so the left branch reads "in {0}".
TEST(ReportPictures, NominalLabelsOfARealRun) {
    report_file rep;
    std::string error;
    ASSERT_TRUE(read_report(fixture_path("votes_5fold_3rep.infor"), rep, error)) << error;
    std::ostringstream dot;
    write_dot(dot, rep, 1, {});
    EXPECT_NE(dot.str().find("node 0\\n397 cases\\n-loglik 995.29\\ncolumn 10 in {0}\""),
              std::string::npos)
        << dot.str();
    EXPECT_NE(dot.str().find("column 11 in {1}\""), std::string::npos);
}
