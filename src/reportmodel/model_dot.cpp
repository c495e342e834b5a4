// write_model_dot: Graphviz's HTML-like labels give each node its table of
// coloured cells. Up to eight terminal nodes the tree grows downwards; a
// larger one grows to the right, so that its terminal nodes stack up in a
// column instead of a row too wide to read.
#include "reportmodel/model_dot.h"

#include <cstdio>
#include <string>

#include "reportmodel/model_rules.h"
#include "reportmodel/rate_colour.h"
#include "reportmodel/xml_text.h"

namespace {

std::string two_decimals(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

std::string node_label(const fitted_model& model, const subtree_view& view, int t) {
    const model_node_entry& e = model.nodes[static_cast<size_t>(t)];
    const size_t q = model.outcomes.size();
    const bool terminal = view.terminal[static_cast<size_t>(t)] != 0;
    std::string l = std::string("<<TABLE BORDER=\"") + (terminal ? "2" : "1") +
                    "\" CELLBORDER=\"0\" CELLSPACING=\"1\" CELLPADDING=\"2\" COLOR=\"" +
                    (terminal ? "#222222" : "#999999") + "\" BGCOLOR=\"white\">";
    const std::string span = "<TD COLSPAN=\"" + std::to_string(q) + "\">";
    l += "<TR>" + span + "<B>" + xml_escaped(node_rule(model, t)) + "</B></TD></TR>";
    l += "<TR>" + span + "<FONT POINT-SIZE=\"9\" COLOR=\"#555555\">node " + std::to_string(t) +
         ", " + std::to_string(e.cases) + (e.cases == 1 ? " case" : " cases") + "</FONT></TD></TR>";
    if (t == 0) {
        l += "<TR>";
        for (const std::string& name : model.outcomes)
            l += "<TD><FONT POINT-SIZE=\"8\">" + xml_escaped(name) + "</FONT></TD>";
        l += "</TR>";
    }
    l += "<TR>";
    for (size_t j = 0; j < q; j++) {
        const double r = e.rate[j];
        l += "<TD BGCOLOR=\"" + rate_colour(r) + "\" WIDTH=\"34\" HEIGHT=\"18\"><FONT COLOR=\"" +
             rate_ink(r) + "\" POINT-SIZE=\"9\">" + two_decimals(r) + "</FONT></TD>";
    }
    return l + "</TR></TABLE>>";
}

} // namespace

void write_model_dot(std::ostream& out, const fitted_model& model, const subtree_view& view) {
    const bool wide = view.terminal_nodes.size() > 8;
    std::string outcomes;
    for (size_t j = 0; j < model.outcomes.size(); j++)
        outcomes += (j > 0 ? ", " : "") + xml_escaped(model.outcomes[j]);
    const size_t n_terminal = view.terminal_nodes.size();
    out << "digraph subtree_" << view.k << " {\n"
        << "    graph [ordering=out, rankdir=" << (wide ? "LR" : "TB")
        << ", nodesep=0.15, ranksep=" << (wide ? "0.35" : "0.3")
        << ", fontname=\"Helvetica\", fontsize=10, labelloc=b, labeljust=l, label=<subtree "
        << view.k << " (" << xml_escaped(view.chosen_by) << "), " << n_terminal
        << (n_terminal == 1 ? " terminal node (thick frame)" : " terminal nodes (thick frames)")
        << "<BR ALIGN=\"LEFT\"/>cells: observed rate of " << outcomes
        << ", left to right; darker is higher<BR ALIGN=\"LEFT\"/>>];\n"
        << "    node [shape=plain, fontname=\"Helvetica\", fontsize=10];\n"
        << "    edge [color=\"#777777\", arrowsize=0.5];\n";
    for (int t : view.order)
        out << "    n" << t << " [label=" << node_label(model, view, t) << "];\n";
    for (int t : view.order) {
        if (view.terminal[static_cast<size_t>(t)]) continue;
        const model_node_entry& e = model.nodes[static_cast<size_t>(t)];
        out << "    n" << t << " -> n" << e.left << ";\n";
        out << "    n" << t << " -> n" << e.right << ";\n";
    }
    out << "}\n";
}
