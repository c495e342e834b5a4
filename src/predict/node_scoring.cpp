// make_case_scorer, pattern_probabilities: a terminal node's scoring model and
// its law over the outcome patterns.
#include "predict/node_scoring.h"

#include <cmath>

#include "model/node_stats.h"
#include "model/pairwise_fit.h"
#include "predict/predict_error.h"

namespace {

const fitted_node_model* scoring_model(const fitted_model& model, int t) {
    const int u = model.nodes[static_cast<std::size_t>(t)].model.model_node;
    return u < 0 ? nullptr : &model.nodes[static_cast<std::size_t>(u)].model;
}

// The exponent of pattern z of the retained outcomes (bit r: retained outcome
// r), summed in double as the model file's probabilities are.
double pattern_exponent(const fitted_node_model& f, int q, unsigned z) {
    const std::size_t m = f.retained.size();
    double eta = 0;
    if (!f.pair_params.empty()) {
        // Pairwise: every outcome retained, retained[r] == r.
        for (std::size_t a = 0; a < m; a++) {
            if (((z >> a) & 1u) == 0) continue;
            eta += f.pair_params[a];
            for (std::size_t b = a + 1; b < m; b++)
                if (((z >> b) & 1u) != 0)
                    eta += f.pair_params[static_cast<std::size_t>(
                        pairwise_index(q, static_cast<int>(a), static_cast<int>(b)))];
        }
        return eta;
    }
    int s = 0;
    for (std::size_t r = 0; r < m; r++) {
        if (((z >> r) & 1u) != 0) {
            eta += f.theta[static_cast<std::size_t>(f.retained[r])];
            s++;
        }
    }
    return eta + static_cast<double>(f.omega) * (s * (s - 1) / 2);
}

} // namespace

case_scorer make_case_scorer(const fitted_model& model, int t, const std::string& model_name) {
    const int q = static_cast<int>(model.outcomes.size());
    case_scorer s;
    const fitted_node_model* f = scoring_model(model, t);
    if (f == nullptr) {
        s.log_normaliser = std::log(std::ldexp(1.0, q));
        return s;
    }
    const std::string node = model_name + ": node " + std::to_string(t) + ": ";
    for (std::size_t r = 1; r < f->retained.size(); r++)
        if (f->retained[r] <= f->retained[r - 1])
            throw predict_error(node + "the retained outcomes are not in ascending order (a "
                                       "damaged model file)");
    if (!f->pair_params.empty()) {
        const std::size_t d = static_cast<std::size_t>(q) * static_cast<std::size_t>(q + 1) / 2;
        if (f->pair_params.size() != d || f->retained.size() != static_cast<std::size_t>(q) ||
            !std::isfinite(f->log_normaliser))
            throw predict_error(node + "its pairwise fit does not have " + std::to_string(d) +
                                " parameters over all outcomes and a finite log normaliser (a "
                                "damaged model file)");
        s.log_normaliser = f->log_normaliser;
        s.pair_params = f->pair_params;
        s.q = q;
        s.case_stats.assign(static_cast<std::size_t>((q + 4) * (q + 1) / 2), 0);
        return s;
    }
    if (!(f->normaliser > 0))
        throw predict_error(node + "the normaliser of its scoring fit is not positive (a damaged "
                                   "model file)");
    s.log_normaliser = std::log(static_cast<double>(f->normaliser));
    s.retained = f->retained;
    s.omega = f->omega;
    for (int j : s.retained) s.theta.push_back(f->theta[static_cast<std::size_t>(j)]);
    return s;
}

double case_log_likelihood(const case_scorer& s, const unsigned char* y) {
    if (!s.pair_params.empty()) {
        // The one case as a node_stats vector: the entries the score reads.
        const int q = s.q;
        int* stats = s.case_stats.data();
        for (int j = 0; j < q; j++) {
            stats[j] = y[j];
            for (int k = j + 1; k < q; k++) stats[cross_index(q, j, k)] = y[j] * y[k];
        }
        return -pairwise_held_out_score(s.pair_params.data(), s.log_normaliser, stats, 1, q);
    }
    double score = s.log_normaliser;
    const std::size_t m = s.retained.size();
    for (std::size_t r = 0; r < m; r++)
        score -= static_cast<double>(s.theta[r]) *
                 static_cast<double>(y[static_cast<std::size_t>(s.retained[r])]);
    long long pairs = 0;
    for (std::size_t a = 0; a < m; a++)
        if (y[static_cast<std::size_t>(s.retained[a])] != 0)
            for (std::size_t b = a + 1; b < m; b++)
                pairs += y[static_cast<std::size_t>(s.retained[b])];
    score -= static_cast<double>(s.omega) * static_cast<double>(pairs);
    return -score;
}

std::vector<double> pattern_probabilities(const fitted_model& model, int t) {
    const int q = static_cast<int>(model.outcomes.size());
    const model_node_entry& e = model.nodes[static_cast<std::size_t>(t)];
    const fitted_node_model* f = scoring_model(model, t);
    // Bit j of `free` (outcome j): neither pure in the node nor in the fit.
    unsigned pure = 0, observed = 0, modelled = 0;
    for (int j = 0; j < q; j++) {
        if (e.model.pure[static_cast<std::size_t>(j)]) {
            pure |= 1u << j;
            if (e.positives[static_cast<std::size_t>(j)] > 0) observed |= 1u << j;
        }
    }
    // The fit's law over its retained outcomes, each pattern moved to the
    // outcomes' own bits with the pure ones summed out.
    std::vector<double> law(std::size_t{1} << q, 0.0);
    if (f != nullptr) {
        const std::size_t m = f->retained.size();
        for (int j : f->retained) modelled |= 1u << j;
        modelled &= ~pure;
        std::vector<double> weight(std::size_t{1} << m);
        double total = 0;
        for (unsigned z = 0; z < (1u << m); z++) {
            weight[z] = std::exp(pattern_exponent(*f, q, z));
            total += weight[z];
        }
        for (unsigned z = 0; z < (1u << m); z++) {
            unsigned bits = 0;
            for (std::size_t r = 0; r < m; r++)
                if (((z >> r) & 1u) != 0) bits |= 1u << f->retained[r];
            law[bits & modelled] += weight[z] / total;
        }
    } else {
        law[0] = 1;
    }
    const unsigned free = ((1u << q) - 1u) & ~pure & ~modelled;
    int free_count = 0;
    for (int j = 0; j < q; j++) free_count += ((free >> j) & 1u) != 0;
    const double free_share = std::ldexp(1.0, -free_count);

    std::vector<double> p(std::size_t{1} << q, 0.0);
    for (unsigned i = 0; i < (1u << q); i++) {
        unsigned y = 0; // outcome j at bit j
        for (int j = 0; j < q; j++)
            if (((i >> (q - 1 - j)) & 1u) != 0) y |= 1u << j;
        if ((y & pure) != observed) continue;
        p[i] = law[y & modelled] * free_share;
    }
    return p;
}
