// make_routing_plan: the nodes of the chosen subtree with their splits in the
// form routing compares them, and the columns those splits read.
#include "predict/routing_plan.h"

#include <cmath>

#include "modelfile/build_model.h"
#include "predict/predict_error.h"

namespace {

[[noreturn]] void damaged(const std::string& model_name, int t, const std::string& what) {
    throw predict_error(model_name + ": node " + std::to_string(t) + ": " + what +
                        " (a damaged model file)");
}

int slot_of(routing_plan& plan, const fitted_model& model, int column) {
    for (std::size_t s = 0; s < plan.columns.size(); s++)
        if (plan.columns[s].column == column) return static_cast<int>(s);
    const column_description& d = model.data.columns[static_cast<std::size_t>(column)];
    split_column c;
    c.column = column;
    c.name = d.name;
    if (d.kind == column_nominal) {
        c.rule = d.labels.empty() ? column_rule::numbered_nominal : column_rule::labelled_nominal;
        c.labels = d.labels;
    }
    plan.columns.push_back(c);
    return static_cast<int>(plan.columns.size()) - 1;
}

// Bit (k mod 32) of the split value truncated to a whole number, as the
// engine tests it; k is a category below 32.
bool goes_left(long long mask, long long k) {
    return ((mask >> (k % 32)) & 1) == 1;
}

} // namespace

routing_plan make_routing_plan(const fitted_model& model, int k, const std::string& model_name) {
    routing_plan plan;
    plan.subtree = k;
    std::vector<int> in_subtree, terminal;
    model_subtree_membership(model, k, in_subtree, terminal);
    const int n = static_cast<int>(model.nodes.size());
    plan.nodes.assign(static_cast<std::size_t>(n), plan_node{});
    for (int t = 0; t < n; t++) {
        const std::size_t i = static_cast<std::size_t>(t);
        if (in_subtree[i] == 0) continue;
        if (terminal[i] != 0) {
            plan.terminal_nodes.push_back(t);
            continue;
        }
        const model_node_entry& e = model.nodes[i];
        const model_split& s = e.split;
        plan_node& p = plan.nodes[i];
        const std::size_t v = static_cast<std::size_t>(s.covariate);
        const column_description& col = model.data.columns[static_cast<std::size_t>(s.column)];
        if (s.nominal != (col.kind == column_nominal))
            damaged(model_name, t, "the split's kind is not its column's");
        p.slot = slot_of(plan, model, s.column);
        p.left = e.left;
        p.nominal = s.nominal;
        p.larger = model.nodes[static_cast<std::size_t>(e.left)].cases >=
                           model.nodes[static_cast<std::size_t>(e.right)].cases
                       ? e.left
                       : e.right;
        const float missing = model.missing_value[v];
        p.missing_known = std::isfinite(missing);
        if (s.nominal) {
            // The category bit set as the engine stores it in a real.
            if (!(s.split_value >= 0 && s.split_value < 2147483648.0f))
                damaged(model_name, t, "the category set of the split is out of range");
            const long long mask = static_cast<long long>(s.split_value);
            p.left_mask = static_cast<std::uint32_t>(mask & 0xffffffffLL);
            split_column& c = plan.columns[static_cast<std::size_t>(p.slot)];
            c.categories = model.cov_levels[v] - (p.missing_known ? 1 : 0);
            if (p.missing_known) {
                if (!(missing >= 0 && missing < 32))
                    damaged(model_name, t, "the missing category is out of range");
                p.missing_to = goes_left(mask, static_cast<long long>(missing)) ? e.left : e.right;
            }
        } else {
            p.cut = s.cut;
            if (p.missing_known) p.missing_to = missing <= s.cut ? e.left : e.right;
        }
    }
    return plan;
}
