// The korva-report executable: its table, the files it writes, and its refusals
// (one "error: " line on standard error, exit status 1).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "model_fixture.h"
#include "modelfile/model_json.h"
#include "report_fixture.h"

namespace {

void expect_refusal(const report_run& r, const std::string& fragment) {
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "more than one line: " << r.err;
    EXPECT_NE(r.err.find(fragment), std::string::npos) << r.err;
}

} // namespace

TEST(ReportCli, DefaultFileAndDefaultChoice) {
    report_run r = run_report("--dot tree.dot",
                              "cp " + quoted(fixture_path("hand_nine_nodes.infor")) + " infor &&");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("infor: 9 nodes, 4 subtrees, 3 repetitions"), std::string::npos);
    EXPECT_NE(r.out.find("subtree 3 (3 terminal nodes) written to tree.dot"), std::string::npos);
    EXPECT_NE(read_file(r.dir + "/tree.dot").find("digraph subtree_3"), std::string::npos);

    report_run m = run_report(quoted(fixture_path("hand_nine_nodes.infor")) +
                              " --tree min --dot t.dot --plot cv.svg");
    ASSERT_EQ(m.status, 0) << m.err;
    EXPECT_NE(read_file(m.dir + "/t.dot").find("digraph subtree_2"), std::string::npos);
    EXPECT_NE(read_file(m.dir + "/cv.svg").find("</svg>"), std::string::npos);
}

TEST(ReportCli, NamesFileReplacesColumnNumbers) {
    std::string dir = make_temp_dir();
    write_file(dir + "/names", "age lwt\nrace smoke\nptl ftv\n");
    report_run r = run_report(quoted(fixture_path("hand_nine_nodes.infor")) + " --names " +
                              quoted(dir + "/names") + " --tree 2 --dot t.dot");
    ASSERT_EQ(r.status, 0) << r.err;
    std::string dot = read_file(r.dir + "/t.dot");
    EXPECT_NE(dot.find("lwt <= 30.5"), std::string::npos) << dot;
    EXPECT_NE(dot.find("ptl in {0,2}"), std::string::npos) << dot;

    // A CSV header row: its quotes are not part of the names.
    write_file(dir + "/names.csv", "\"age\",\"lwt\",race,\"smoke\",\"ptl\"\n1,2,3,4,5\n");
    r = run_report(quoted(fixture_path("hand_nine_nodes.infor")) + " --names " +
                   quoted(dir + "/names.csv") + " --tree 2 --dot t.dot");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(read_file(r.dir + "/t.dot").find("\\nlwt <= 30.5\""), std::string::npos);

    write_file(dir + "/short", "age lwt race\n");
    expect_refusal(run_report(quoted(fixture_path("hand_nine_nodes.infor")) + " --names " +
                              quoted(dir + "/short") + " --dot t.dot"),
                   "3 names, but node 1 splits on data column 5");
}

TEST(ReportCli, Refusals) {
    const std::string good = quoted(fixture_path("hand_nine_nodes.infor"));
    expect_refusal(run_report(""), "infor: cannot open the report file");
    expect_refusal(run_report("missing.infor"), "missing.infor: cannot open the report file");
    expect_refusal(run_report(good + " --tree 5 --dot t.dot"),
                   "subtree 5 out of range: the file has subtrees 1..4");
    expect_refusal(run_report(good + " --tree 0 --dot t.dot"), "subtree 0 out of range");
    expect_refusal(run_report(good + " --tree big --dot t.dot"), "expected a subtree number");
    expect_refusal(run_report(good + " --colour"), "not expected: --colour");
    expect_refusal(run_report(good + " --dot"), "--dot: 1 required");

    std::string dir = make_temp_dir();
    std::string text = fixture_text("hand_nine_nodes.infor");
    write_file(dir + "/cut.infor", text.substr(0, text.find("3 \t 60") + 3));
    expect_refusal(run_report(quoted(dir + "/cut.infor")), "/cut.infor:6: file ends in the middle");
    write_file(dir + "/norep.infor", text.substr(0, text.find("  520.00")));
    report_run norep = run_report(quoted(dir + "/norep.infor"));
    EXPECT_EQ(norep.status, 0) << norep.err;
    EXPECT_NE(norep.out.find("no cross-validation rows"), std::string::npos);
    // Without cross-validation the default is subtree 1; 1se and min choose nothing.
    report_run first = run_report(quoted(dir + "/norep.infor") + " --dot t.dot");
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("subtree 1 (5 terminal nodes) written"), std::string::npos);
    expect_refusal(run_report(quoted(dir + "/norep.infor") + " --tree 1se --dot t.dot"),
                   "--tree 1se cannot choose a subtree");
    expect_refusal(run_report(quoted(dir + "/norep.infor") + " --plot p.svg"), "nothing to plot");
    EXPECT_EQ(run_report(quoted(dir + "/norep.infor") + " --tree 2 --dot t.dot").status, 0);
}

TEST(ReportCli, SvgWithoutGraphvizSaysSo) {
    // An empty PATH hides dot from the program.
    report_run r = run_report(quoted(fixture_path("hand_nine_nodes.infor")) + " --svg t.svg",
                              "PATH=/nonexistent");
    expect_refusal(r, "Graphviz's dot is not installed");
}

// A model file read by both programs alike; refusals that once printed the
// table and succeeded, or wrote SVG into a .png name, on both kinds of file.
TEST(ReportCli, ModelFileAndRefusalsOnBothKinds) {
    const std::string dir = make_temp_dir();
    write_file(dir + "/model.json", model_to_json_text(hand_model()));
    const std::string model = quoted(dir + "/model.json");
    report_run r = run_report(model);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("subtree 1 of 3 (no cross-validation to choose by: subtree 1, the grown "
                         "tree): 4 terminal nodes"),
              std::string::npos)
        << r.out;
    korva_run k = run_korva_in(dir, "", "", "report model.json");
    EXPECT_EQ(k.status, 0) << k.err;
    EXPECT_EQ(k.out, replaced(r.out, dir + "/model.json", "model.json"));
    // Output that cannot be written is no success.
    k = run_korva_in(dir, "", "", "report model.json", "> /dev/full 2> .stderr");
    EXPECT_EQ(k.status, 1);
    EXPECT_EQ(k.err, "error: cannot write to standard output\n");

    r = run_report(model + " --tree 2 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["subtree"]["terminal_nodes"], nlohmann::json({3, 4, 2}));
    EXPECT_EQ(j["subtree"]["nodes"][4]["rule"], "group in {placebo}");

    for (const std::string& file : {model, quoted(fixture_path("hand_nine_nodes.infor"))}) {
        expect_refusal(run_report(file + " --tree 99"), "subtree 99 out of range");
        expect_refusal(run_report(file + " --tree 0"), "subtree 0 out of range");
        expect_refusal(run_report(file + " --tree two"), "expected a subtree number, min or 1se");
        expect_refusal(run_report(file + " --tree 1 --plot cv.png"), "must end in .svg");
        expect_refusal(run_report(file + " --tree 1 --png tree.svg"), "must end in .png");
    }
    expect_refusal(run_report(quoted(fixture_path("hand_nine_nodes.infor")) + " --profiles p.svg"),
                   "--profiles needs a model file");
    if (!have_program("dot")) return;
    r = run_report(model + " --tree 1 --png tree.png --profiles p.svg");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file(r.dir + "/tree.png").substr(0, 4), "\x89PNG");
}
