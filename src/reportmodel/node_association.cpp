// scoring_model, odds_ratio, pair_odds_ratio, odds_ratio_text, association_words.
#include "reportmodel/node_association.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

const fitted_node_model* scoring_model(const fitted_model& model, int t) {
    const int s = model.nodes[static_cast<size_t>(t)].model.model_node;
    return s < 0 ? nullptr : &model.nodes[static_cast<size_t>(s)].model;
}

double odds_ratio(const fitted_model& model, int t) {
    const fitted_node_model* m = scoring_model(model, t);
    if (m == nullptr || m->retained.size() < 2 || !m->omega_pairs.empty()) return NAN;
    return std::exp(static_cast<double>(m->omega));
}

double pair_odds_ratio(const fitted_model& model, int t, int a, int b) {
    const fitted_node_model* m = scoring_model(model, t);
    if (m == nullptr || m->omega_pairs.empty()) return NAN;
    auto retained = [&](int j) {
        return std::find(m->retained.begin(), m->retained.end(), j) != m->retained.end();
    };
    if (!retained(a) || !retained(b)) return NAN;
    const size_t q = model.outcomes.size();
    return std::exp(static_cast<double>(m->omega_pairs[static_cast<size_t>(a) * q + b]));
}

std::string odds_ratio_text(double ratio) {
    if (std::isnan(ratio)) return "-";
    if (ratio < 0.005) return "<0.01";
    if (ratio > 100) return ">100";
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", ratio);
    return text;
}

std::string association_words(double ratio) {
    if (std::isnan(ratio)) return "no association in the model (fewer than two outcomes vary)";
    char text[160];
    std::snprintf(text, sizeof text,
                  "each other positive outcome multiplies the odds of any outcome by %.2f", ratio);
    std::string words = text;
    if (ratio > 1.005) return words + " (the outcomes go together)";
    if (ratio < 0.995) return words + " (the outcomes tend to exclude each other)";
    return words + " (about no association)";
}
