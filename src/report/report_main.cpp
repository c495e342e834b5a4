// korva-report: reads korva's report file, prints the subtree table with the
// lowest-mean and one-standard-error choices, and draws the chosen subtree and the
// cross-validation curve.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "report/report.h"
#include "report/report_main.h"

namespace {

const char* usage =
    "usage: korva-report [FILE] [--tree K|min|1se] [--dot FILE] [--svg FILE]\n"
    "                    [--names FILE] [--plot FILE.svg]\n"
    "  FILE            korva's report file (default ./infor)\n"
    "  --tree K        subtree to draw: a number from the table, min or 1se (default 1se)\n"
    "  --dot FILE      write the subtree as a Graphviz DOT graph\n"
    "  --svg FILE      draw the subtree as SVG with Graphviz's dot\n"
    "  --names FILE    names of the data columns, whitespace-separated, in column order\n"
    "  --plot FILE     draw the cross-validation curve as SVG\n";

[[noreturn]] void fail(const std::string& message) {
    std::cerr << "error: " << message << "\n";
    std::exit(1);
}

struct options {
    std::string report = "infor";
    std::string tree = "1se";
    std::string dot, svg, names, plot;
};

options parse_arguments(int argc, char** argv) {
    options o;
    bool have_report = false;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << usage;
            std::exit(0);
        }
        std::string* target = a == "--tree"    ? &o.tree
                              : a == "--dot"   ? &o.dot
                              : a == "--svg"   ? &o.svg
                              : a == "--names" ? &o.names
                              : a == "--plot"  ? &o.plot
                                               : nullptr;
        if (target != nullptr) {
            if (i + 1 >= argc) fail(a + " needs a value (see korva-report --help)");
            *target = argv[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            fail("unknown option " + a + " (see korva-report --help)");
        } else if (have_report) {
            fail("more than one report file given: " + o.report + " and " + a);
        } else {
            o.report = a;
            have_report = true;
        }
    }
    return o;
}

// Index (0-based) of the subtree named by --tree.
int chosen_subtree(const options& o, const report_file& rep, const cv_summary& sum) {
    const int k = static_cast<int>(rep.subtrees.size());
    if (o.tree == "min" || o.tree == "1se") {
        int j = o.tree == "min" ? sum.best : sum.one_se;
        if (j < 0)
            fail(rep.name + ": no usable cross-validation rows, so --tree " + o.tree +
                 " cannot choose a subtree; give its number (1.." + std::to_string(k) + ")");
        return j;
    }
    char* end = nullptr;
    long v = std::strtol(o.tree.c_str(), &end, 10);
    if (o.tree.empty() || *end != '\0')
        fail("--tree " + o.tree + ": expected a subtree number, min or 1se");
    if (v < 1 || v > k)
        fail(rep.name + ": subtree " + o.tree + " out of range: the file has subtrees 1.." +
             std::to_string(k));
    return static_cast<int>(v) - 1;
}

void write_text(const std::string& path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    out.close();
    if (!out) fail(path + ": cannot write the file");
}

} // namespace

int report_main(int argc, char** argv) {
    options o = parse_arguments(argc, argv);
    report_file rep;
    std::string error;
    if (!read_report(o.report, rep, error)) fail(error);
    cv_summary sum;
    summarize_cv(rep, sum);
    print_table(std::cout, rep, sum);

    std::vector<std::string> names;
    if (!o.names.empty() && !read_names(o.names, names, error)) fail(error);
    for (const report_node& t : rep.nodes) {
        if (!names.empty() && t.left != 0 && t.column > static_cast<int>(names.size()))
            fail(o.names + ": " + std::to_string(names.size()) + " names, but node " +
                 std::to_string(t.number) + " splits on data column " + std::to_string(t.column));
    }

    if (!o.dot.empty() || !o.svg.empty()) {
        const int j = chosen_subtree(o, rep, sum);
        std::ostringstream dot;
        write_dot(dot, rep, j + 1, names);
        if (!o.dot.empty()) {
            write_text(o.dot, dot.str());
            std::cout << "subtree " << j + 1 << " (" << sum.terminal_nodes[j]
                      << " terminal nodes) written to " << o.dot << "\n";
        }
        if (!o.svg.empty()) {
            if (!render_svg_with_dot(dot.str(), o.svg, error)) fail(error);
            std::cout << "subtree " << j + 1 << " (" << sum.terminal_nodes[j]
                      << " terminal nodes) drawn in " << o.svg << "\n";
        }
    }
    if (!o.plot.empty()) {
        if (sum.best < 0) fail(rep.name + ": no usable cross-validation rows, nothing to plot");
        std::ostringstream svg;
        write_cv_plot(svg, rep, sum);
        write_text(o.plot, svg.str());
        std::cout << "cross-validation curve drawn in " << o.plot << "\n";
    }
    return 0;
}
