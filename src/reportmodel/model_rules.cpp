// category_label, node_rule, path_conditions. A rule is worked out as the set
// of cases it admits: for an ordered column the observed values in (lo, hi]
// and whether a missing value is let through; for a nominal column the
// categories let through (the missing values being a category of their own).
// So a node reached by a cut below every observed value reads "is missing".
#include "reportmodel/model_rules.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "report/float_text.h"

namespace {

// One step of a path: the split of `parent`, taken to the left or right.
struct path_step {
    const model_split* split;
    bool left;
};

struct ordered_condition {
    double lo = -std::numeric_limits<double>::infinity(); // values > lo
    double hi = std::numeric_limits<double>::infinity();  // values <= hi
    float lo_cut = 0, hi_cut = 0;                         // the stored cuts, for the text
    bool missing = true; // a missing value goes this way at every split
};

std::string ordered_text(const column_description& col, const ordered_condition& c) {
    const std::string& name = col.name;
    const bool has_missing = col.missing > 0;
    const bool let_missing = has_missing && c.missing;
    const bool none_observed =
        col.observed && (c.hi < col.smallest || c.lo >= col.largest || c.lo >= c.hi);
    if (none_observed && let_missing) return name + " is missing";
    const bool all_observed = !col.observed || (c.lo < col.smallest && c.hi >= col.largest);
    if (all_observed) return let_missing || !has_missing ? "" : name + " is not missing";
    std::string text;
    if (c.lo > -INFINITY && c.hi < INFINITY)
        text = float_text(c.lo_cut) + " < " + name + " <= " + float_text(c.hi_cut);
    else if (c.lo > -INFINITY)
        text = name + " > " + float_text(c.lo_cut);
    else
        text = name + " <= " + float_text(c.hi_cut);
    return let_missing ? text + " or missing" : text;
}

std::string nominal_text(const fitted_model& model, int covariate,
                         const std::vector<bool>& allowed) {
    const int column = model.cov_column[static_cast<size_t>(covariate)];
    const column_description& col = model.data.columns[static_cast<size_t>(column)];
    const int levels = static_cast<int>(allowed.size());
    // With missing values the last category holds them.
    const int observed_levels = col.missing > 0 ? levels - 1 : levels;
    std::vector<int> in, out;
    for (int c = 0; c < observed_levels; c++) (allowed[c] ? in : out).push_back(c);
    const bool missing_in = observed_levels < levels && allowed[static_cast<size_t>(levels - 1)];
    if (in.empty()) return missing_in ? col.name + " is missing" : col.name + " in {}";
    const bool complement = !missing_in && observed_levels == levels && out.size() < in.size();
    std::string text = col.name + (complement ? " not in {" : " in {");
    const std::vector<int>& listed = complement ? out : in;
    for (size_t i = 0; i < listed.size(); i++) {
        if (i > 0) text += ", ";
        text += category_label(model, covariate, listed[i]);
    }
    text += "}";
    return missing_in ? text + " or missing" : text;
}

// The conditions of a sequence of steps, merged per column.
std::vector<std::string> conditions(const fitted_model& model,
                                    const std::vector<path_step>& steps) {
    std::vector<int> columns; // in order of first use
    for (const path_step& s : steps)
        if (std::find(columns.begin(), columns.end(), s.split->column) == columns.end())
            columns.push_back(s.split->column);
    std::vector<std::string> texts;
    for (int column : columns) {
        const column_description& col = model.data.columns[static_cast<size_t>(column)];
        ordered_condition ordered;
        std::vector<bool> allowed;
        int nominal_covariate = -1;
        for (const path_step& s : steps) {
            const model_split& sp = *s.split;
            if (sp.column != column) continue;
            if (sp.nominal) {
                const size_t levels = sp.left_categories.size() + sp.right_categories.size();
                if (allowed.empty()) allowed.assign(levels, true);
                std::vector<bool> side(levels, false);
                for (int c : s.left ? sp.left_categories : sp.right_categories)
                    side[static_cast<size_t>(c)] = true;
                for (size_t c = 0; c < levels; c++) allowed[c] = allowed[c] && side[c];
                nominal_covariate = sp.covariate;
                continue;
            }
            const double cut = sp.cut;
            if (s.left && cut < ordered.hi) ordered.hi = cut, ordered.hi_cut = sp.cut;
            if (!s.left && cut > ordered.lo) ordered.lo = cut, ordered.lo_cut = sp.cut;
            ordered.missing = ordered.missing && sp.missing_go == (s.left ? "left" : "right");
        }
        std::string text = nominal_covariate >= 0 ? nominal_text(model, nominal_covariate, allowed)
                                                  : ordered_text(col, ordered);
        if (!text.empty()) texts.push_back(text);
    }
    return texts;
}

} // namespace

std::string category_label(const fitted_model& model, int covariate, int category) {
    const int column = model.cov_column[static_cast<size_t>(covariate)];
    const column_description& col = model.data.columns[static_cast<size_t>(column)];
    const int levels = model.cov_levels[static_cast<size_t>(covariate)];
    if (col.missing > 0 && category == levels - 1) return "missing";
    if (category < static_cast<int>(col.labels.size()))
        return col.labels[static_cast<size_t>(category)];
    return std::to_string(category);
}

std::string node_rule(const fitted_model& model, int t) {
    const model_node_entry& node = model.nodes[static_cast<size_t>(t)];
    if (node.parent < 0) return "all subjects";
    const model_node_entry& parent = model.nodes[static_cast<size_t>(node.parent)];
    std::vector<std::string> texts = conditions(model, {{&parent.split, parent.left == t}});
    // A split that lets every observed value and the missing ones through on
    // one side cannot occur; say so rather than print nothing.
    return texts.empty() ? "(every case)" : texts[0];
}

std::vector<std::string> path_conditions(const fitted_model& model, int t) {
    std::vector<path_step> steps;
    for (int child = t; model.nodes[static_cast<size_t>(child)].parent >= 0;) {
        const int parent = model.nodes[static_cast<size_t>(child)].parent;
        const model_node_entry& p = model.nodes[static_cast<size_t>(parent)];
        steps.push_back({&p.split, p.left == child});
        child = parent;
    }
    std::reverse(steps.begin(), steps.end());
    return conditions(model, steps);
}
