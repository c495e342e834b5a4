// print_subtree and print_profiles: fixed-width tables, outcomes as columns.
#include "reportmodel/model_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "reportmodel/model_rules.h"
#include "reportmodel/node_association.h"

namespace {

std::string fixed(double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

std::string right(const std::string& s, size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

std::string left(const std::string& s, size_t width) {
    return s.size() >= width ? s : s + std::string(width - s.size(), ' ');
}

// Width of an outcome's column: its name, at least a rate's width.
size_t outcome_width(const std::string& name, size_t least) {
    return std::max(name.size(), least) + 2;
}

// Node t's odds ratios by pair of outcomes as a triangle: a row and a column
// per outcome, e^omega_ab in row a and column b > a, "-" on the diagonal and
// the lower half blank. Columns are as wide as the longest name (at least an
// odds ratio's five characters). True when a ratio is out of the two-decimal
// range ("<0.01" or ">100").
bool print_pair_table(std::ostream& out, const fitted_model& model, int t) {
    const size_t q = model.outcomes.size();
    out << "\n";
    if (scoring_model(model, t) == nullptr || q < 2) {
        out << "  node " << t << ": none ("
            << (q < 2 ? "a single outcome" : "no model was fitted on its path") << ")\n";
        return false;
    }
    const std::string corner = "node " + std::to_string(t);
    size_t label = corner.size(), column = 5;
    for (const std::string& name : model.outcomes) {
        label = std::max(label, name.size());
        column = std::max(column, name.size());
    }
    column += 2;
    out << "  " << left(corner, label);
    for (const std::string& name : model.outcomes) out << right(name, column);
    out << "\n";
    bool out_of_range = false;
    for (size_t a = 0; a < q; a++) {
        out << "  " << left(model.outcomes[a], label);
        for (size_t b = 0; b <= a; b++) out << right(b == a ? "-" : "", column);
        for (size_t b = a + 1; b < q; b++) {
            const std::string r = odds_ratio_text(
                pair_odds_ratio(model, t, static_cast<int>(a), static_cast<int>(b)));
            out_of_range = out_of_range || r[0] == '<' || r[0] == '>';
            out << right(r, column);
        }
        out << "\n";
    }
    return out_of_range;
}

} // namespace

void print_subtree(std::ostream& out, const fitted_model& model, const subtree_view& view) {
    const int k = view.k;
    const int n_terminal = static_cast<int>(view.terminal_nodes.size());
    out << "subtree " << k << " of " << model.subtrees.size() << " (" << view.chosen_by
        << "): " << n_terminal << (n_terminal == 1 ? " terminal node" : " terminal nodes") << "\n"
        << "each node: the rule that leads into it, its cases and the observed rate of each "
           "outcome\n\n";
    std::vector<std::string> heads;
    size_t width = 4;
    for (int t : view.order) {
        std::string head =
            std::string(2 * static_cast<size_t>(view.depth[static_cast<size_t>(t)]), ' ') +
            std::to_string(t) + "  " + node_rule(model, t);
        width = std::max(width, head.size());
        heads.push_back(head);
    }
    out << left("node", width) << "  " << right("cases", 6);
    for (const std::string& name : model.outcomes) out << right(name, outcome_width(name, 5));
    out << "\n";
    for (size_t i = 0; i < view.order.size(); i++) {
        const model_node_entry& e = model.nodes[static_cast<size_t>(view.order[i])];
        out << left(heads[i], width) << "  " << right(std::to_string(e.cases), 6);
        for (size_t j = 0; j < model.outcomes.size(); j++)
            out << right(fixed(e.rate[j], 3), outcome_width(model.outcomes[j], 5));
        if (view.terminal[static_cast<size_t>(e.number)]) out << "  terminal";
        out << "\n";
    }
}

void print_profiles(std::ostream& out, const fitted_model& model, const subtree_view& view) {
    const size_t q = model.outcomes.size();
    const bool pairwise = model.node_model_kind == "pairwise";
    out << "outcome profiles of the terminal nodes: the observed rate of each outcome and its "
           "probability\nunder the node's fitted model\n\n";
    // Each outcome a group of two columns, rate (7 wide) and fitted (8), or
    // its name's width.
    std::vector<size_t> group(q);
    for (size_t j = 0; j < q; j++) group[j] = std::max<size_t>(15, model.outcomes[j].size() + 2);
    out << std::string(13, ' ');
    for (size_t j = 0; j < q; j++) out << right(model.outcomes[j], group[j]);
    out << "\n" << right("node", 6) << right("cases", 7);
    for (size_t j = 0; j < q; j++) out << right(right("rate", 7) + right("fitted", 8), group[j]);
    if (!pairwise) out << right("odds ratio", 13);
    out << "\n";
    bool any_pure = false;
    for (int t : view.terminal_nodes) {
        const model_node_entry& e = model.nodes[static_cast<size_t>(t)];
        out << right(std::to_string(t), 6) << right(std::to_string(e.cases), 7);
        for (size_t j = 0; j < q; j++) {
            const bool pure = e.model.pure[j];
            any_pure = any_pure || pure;
            const std::string fitted = pure ? "pure" : fixed(e.model.probability[j], 3);
            out << right(right(fixed(e.rate[j], 3), 7) + right(fitted, 8), group[j]);
        }
        if (!pairwise) {
            const double ratio = odds_ratio(model, t);
            out << right(std::isnan(ratio) ? "-" : fixed(ratio, 2), 13);
        }
        out << "\n";
    }
    out << "\n";
    for (int t : view.terminal_nodes) {
        const fitted_node_model& m = model.nodes[static_cast<size_t>(t)].model;
        const bool all_pure = std::find(m.pure.begin(), m.pure.end(), false) == m.pure.end();
        if (m.model_node != t && !all_pure)
            out << "node " << t << ": its own model could not be fitted; "
                << (m.model_node < 0 ? "each outcome not pure has probability 0.5"
                                     : "the fitted values are those of node " +
                                           std::to_string(m.model_node) + "'s model")
                << "\n";
    }
    if (any_pure)
        out << "pure: the outcome is 0 (or 1) in every case of the node; it is left out of the "
               "node's model\n      and its probability is its rate\n";
    if (pairwise) {
        out << "odds ratios by pair of outcomes (e^omega: how the odds of either outcome change "
               "when the other\nis positive; 1: no association), the pair's row and column "
               "above the diagonal:\n";
        bool out_of_range = false;
        for (int t : view.terminal_nodes)
            out_of_range = print_pair_table(out, model, t) || out_of_range;
        if (out_of_range) out << "\n<0.01, >100: an odds ratio below 0.005 or above 100\n";
        return;
    }
    out << "odds ratio: e^omega of the node's model, the factor by which the odds of any one "
           "outcome\nchange for each other outcome that is positive (1: no association)";
    for (int t : view.terminal_nodes) {
        const double ratio = odds_ratio(model, t);
        if (std::isnan(ratio)) continue;
        out << ". In node " << t << ", for example,\n" << association_words(ratio);
        break;
    }
    out << ".\n";
}
