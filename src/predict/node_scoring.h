// node_scoring: what a terminal node predicts. A subject's log-likelihood is
// computed as cross-validation scores a held-out case in the node, and the
// probability of every joint outcome pattern comes from the same model.
#pragma once

#include <string>
#include <vector>

#include "modelfile/fitted_model.h"

// The model that scores a node's cases: the node's own fit, else its nearest
// fitted ancestor's; with none, zero parameters and A = 2^q.
struct case_scorer {
    double log_normaliser = 0; // ln A (common model) or ln Z (pairwise model)
    std::vector<int> retained; // common model: outcomes in the fit, ascending
    std::vector<float> theta;  // common model: per retained outcome
    float omega = 0;           // common model: association on the pairs among the retained
    // Pairwise model: the fit's parameters (theta_0 .. theta_{q-1}, then
    // omega_jk for j < k), and one case's statistics, filled per subject.
    int q = 0;
    std::vector<double> pair_params;
    mutable std::vector<int> case_stats;
};

// The scorer of node t. Throws predict_error, naming model_name, when its
// fit cannot be used (a damaged file).
case_scorer make_case_scorer(const fitted_model& model, int t, const std::string& model_name);

// A subject's log-likelihood from its outcomes y (q values of 0 or 1), as
// cross-validation scores a held-out case. Common model: -(ln A - sum_r
// theta_r y_r - omega t_R), in double, subtracting the terms in the order of
// cross-validation's score, so that the sum over a node's training cases is
// the node's maximised log-likelihood; outcomes the scoring fit did not retain
// (0 or 1 in all of its training cases) add nothing. Pairwise model: the
// engine's held-out score of the one case, negated.
double case_log_likelihood(const case_scorer& s, const unsigned char* y);

// The probability of each of the 2^q outcome patterns for a subject in node
// t; in pattern i outcome j is bit q-1-j of i (the first outcome is the most
// significant digit). The retained outcomes of the scoring fit follow its
// model; an outcome pure in node t (0 or 1 in all its training cases) has all
// its mass on that value, the scoring model's joint law summed over it; an
// outcome in neither (no fitted model on the path) is 0 or 1 with equal
// probability. Each outcome's marginal is then the node's `probability`.
std::vector<double> pattern_probabilities(const fitted_model& model, int t);
