// report_view_json and model_view_json. Numbers are written as doubles at full
// precision; a mean, SE or odds ratio that does not exist is null.
#include "reportmodel/report_json.h"

#include <cmath>
#include <string>

#include "report/float_text.h"
#include "reportmodel/model_rules.h"
#include "reportmodel/node_association.h"

using json = nlohmann::ordered_json;

namespace {

json number_or_null(double v, bool exists = true) {
    return exists && std::isfinite(v) ? json(v) : json(nullptr);
}

json cv_table(const report_file& rep, const cv_summary& sum) {
    json rows = json::array();
    for (size_t j = 0; j < rep.subtrees.size(); j++) {
        rows.push_back({{"subtree", j + 1},
                        // alpha is a float in either file: its shortest text.
                        {"alpha", std::stod(float_text(static_cast<float>(rep.subtrees[j].alpha)))},
                        {"terminal", sum.terminal_nodes[j]},
                        {"mean", number_or_null(sum.mean[j], sum.repetitions > 0)},
                        {"se", number_or_null(sum.se[j], sum.repetitions > 1)}});
    }
    return {{"repetitions", sum.repetitions},
            {"subtrees", rows},
            {"min", sum.best < 0 ? json(nullptr) : json(sum.best + 1)},
            {"1se", sum.one_se < 0 ? json(nullptr) : json(sum.one_se + 1)}};
}

json node_json(const fitted_model& model, const subtree_view& view, int t) {
    const model_node_entry& e = model.nodes[static_cast<size_t>(t)];
    json outcomes = json::array();
    for (size_t j = 0; j < model.outcomes.size(); j++) {
        outcomes.push_back({{"outcome", model.outcomes[j]},
                            {"positives", e.positives[j]},
                            {"rate", e.rate[j]},
                            {"probability", e.model.probability[j]},
                            {"pure", static_cast<bool>(e.model.pure[j])}});
    }
    json association = {
        {"model_of_node", e.model.model_node < 0 ? json(nullptr) : json(e.model.model_node)}};
    if (model.node_model_kind == "pairwise") {
        json pairs = json::array();
        const int q = static_cast<int>(model.outcomes.size());
        for (int a = 0; a < q; a++)
            for (int b = a + 1; b < q; b++) {
                const double r = pair_odds_ratio(model, t, a, b);
                if (!std::isnan(r))
                    pairs.push_back(
                        {{"outcomes", {model.outcomes[a], model.outcomes[b]}}, {"odds_ratio", r}});
            }
        association["pairs"] = pairs;
    } else {
        const double ratio = odds_ratio(model, t);
        association["omega"] = std::isnan(ratio) ? json(nullptr) : json(std::log(ratio));
        association["odds_ratio"] = number_or_null(ratio);
    }
    const bool terminal = view.terminal[static_cast<size_t>(t)] != 0;
    return {{"node", t},
            {"parent", e.parent < 0 ? json(nullptr) : json(e.parent)},
            {"depth", view.depth[static_cast<size_t>(t)]},
            {"rule", node_rule(model, t)},
            {"path", path_conditions(model, t)},
            {"terminal", terminal},
            {"daughters", terminal ? json::array() : json::array({e.left, e.right})},
            {"cases", e.cases},
            {"outcomes", outcomes},
            {"association", association}};
}

} // namespace

json report_view_json(const report_file& rep, const cv_summary& sum, int k) {
    json top = {{"file", rep.name}, {"kind", "report"}, {"cross_validation", cv_table(rep, sum)}};
    if (k > 0) top["subtree"] = k;
    return top;
}

json model_view_json(const fitted_model& model, const report_file& rep, const cv_summary& sum,
                     const subtree_view& view) {
    json nodes = json::array();
    for (int t : view.order) nodes.push_back(node_json(model, view, t));
    json subtree = {{"subtree", view.k},
                    {"chosen_by", view.chosen_by},
                    {"terminal_nodes", view.terminal_nodes},
                    {"nodes", nodes}};
    return {{"file", rep.name},
            {"kind", "model"},
            {"node_model", model.node_model_kind},
            {"outcomes", model.outcomes},
            {"cross_validation", cv_table(rep, sum)},
            {"subtree", subtree}};
}
