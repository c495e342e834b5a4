// make_prediction_rows, write_header_row: the per-node texts of the output
// and its header row.
#include "predict/prediction_rows.h"

#include "predict/predict_error.h"

prediction_rows make_prediction_rows(const fitted_model& model, const routing_plan& plan,
                                     bool loglik, bool patterns, const std::string& model_name) {
    const int q = static_cast<int>(model.outcomes.size());
    if (patterns && q > max_pattern_outcomes)
        throw predict_error("--patterns: the model has " + std::to_string(q) +
                            " outcomes; the probabilities of the joint patterns are written for "
                            "at most " +
                            std::to_string(max_pattern_outcomes) + " outcomes (" +
                            std::to_string(1 << max_pattern_outcomes) + " columns)");
    prediction_rows rows;
    rows.loglik = loglik;
    rows.patterns = patterns;
    const std::size_t n = model.nodes.size();
    rows.node_text.resize(n);
    rows.scorers.resize(n);
    if (patterns) rows.pattern_text.resize(n);
    for (int t : plan.terminal_nodes) {
        const std::size_t i = static_cast<std::size_t>(t);
        std::string& text = rows.node_text[i];
        text = std::to_string(t);
        for (double p : model.nodes[i].model.probability) {
            text += ',';
            text += number_text(p);
        }
        rows.scorers[i] = make_case_scorer(model, t, model_name);
        if (patterns)
            for (double p : pattern_probabilities(model, t)) {
                rows.pattern_text[i] += ',';
                rows.pattern_text[i] += number_text(p);
            }
    }
    return rows;
}

void write_header_row(csv_output& out, const prediction_rows& rows, const fitted_model& model,
                      const std::vector<std::string>& kept_names) {
    for (const std::string& name : kept_names) {
        out.field(name);
        out.put(',');
    }
    out.raw("node");
    for (const std::string& name : model.outcomes) {
        out.put(',');
        out.field("p_" + name);
    }
    if (rows.loglik) out.raw(",loglik");
    if (rows.patterns) {
        const int q = static_cast<int>(model.outcomes.size());
        for (int i = 0; i < (1 << q); i++) {
            std::string name = ",P_";
            for (int j = q - 1; j >= 0; j--) name += ((i >> j) & 1) != 0 ? '1' : '0';
            out.raw(name);
        }
    }
    out.put('\n');
}
