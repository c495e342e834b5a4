// The association of the outcomes in a node's model, as an odds ratio and in
// words: e^omega is the factor by which the odds of any one outcome change for
// each other outcome that is positive (the common model's one association).
#pragma once

#include <string>

#include "modelfile/fitted_model.h"

// The model that gives node t its probabilities: its own fit, or that of the
// nearest fitted ancestor; nullptr when there is none.
const fitted_node_model* scoring_model(const fitted_model& model, int t);

// e^omega of node t's scoring model; NaN when fewer than two outcomes are in
// that fit (no association to speak of) or the model is pairwise.
double odds_ratio(const fitted_model& model, int t);

// e^omega_ab of outcomes a and b in node t's pairwise model; NaN when either
// outcome is not in the fit or the model is the common one.
double pair_odds_ratio(const fitted_model& model, int t, int a, int b);

// An odds ratio as the views print it: two decimals, "<0.01" below 0.005
// (which would print as 0.00), ">100" above 100 (beyond that the
// decimals say nothing), "-" for NaN. At most six characters ("100.00").
std::string odds_ratio_text(double ratio);

// "each other positive outcome multiplies the odds of any outcome by 1.85
// (the outcomes go together)", or the same for below 1.
std::string association_words(double odds_ratio);
