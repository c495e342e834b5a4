// One subtree of the pruning sequence as a Graphviz DOT graph. Internal nodes are
// boxes labelled with the rule of their left branch; terminal nodes are shaded ellipses.
#include <cstdio>

#include "report/report.h"

namespace {

std::string escape(const std::string& s) {
    std::string e;
    for (char c : s) {
        if (c == '"' || c == '\\') e += '\\';
        e += c;
    }
    return e;
}

} // namespace

void write_dot(std::ostream& out, const report_file& rep, int k,
               const std::vector<std::string>& names) {
    std::vector<int> in_subtree, terminal;
    subtree_membership(rep, k, in_subtree, terminal);
    out << "digraph subtree_" << k << " {\n"
        << "    graph [ordering=out];\n"
        << "    node [fontname=\"Helvetica\", fontsize=11];\n"
        << "    edge [fontname=\"Helvetica\", fontsize=10];\n";
    for (const report_node& t : rep.nodes) {
        if (!in_subtree[t.number]) continue;
        char likelihood[64];
        std::snprintf(likelihood, sizeof likelihood, "%.2f", t.likelihood);
        std::string label = "node " + std::to_string(t.number) + "\\n" + std::to_string(t.cases) +
                            " cases\\n-loglik " + likelihood;
        out << "    n" << t.number << " [";
        if (terminal[t.number]) {
            out << "shape=ellipse, style=filled, fillcolor=\"#d9ead3\", label=\"" << label
                << "\"];\n";
        } else {
            out << "shape=box, style=rounded, label=\"" << label << "\\n"
                << escape(split_rule(t, names)) << "\"];\n";
        }
    }
    for (const report_node& t : rep.nodes) {
        if (!in_subtree[t.number] || terminal[t.number]) continue;
        out << "    n" << t.number << " -> n" << t.left << " [label=\"yes\"];\n";
        out << "    n" << t.number << " -> n" << t.right << " [label=\"no\"];\n";
    }
    out << "}\n";
}
