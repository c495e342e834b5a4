// The run-wide choice of the node model, and what depends on it: the number of
// parameters a node carries and the largest outcome count a model accepts.
#pragma once

#include <string>

// The model every node of the run fits.
//   node_model_common:   one main effect per outcome and one association
//                        parameter on the number of positive pairs (the default);
//   node_model_pairwise: one main effect per outcome and one association
//                        parameter per pair of outcomes (model/pairwise_fit.h).
enum node_model_kind {
    node_model_common = 0,
    node_model_pairwise = 1,
};

// Set once before any work storage is allocated (alloc_fit_workspace sizes the
// pairwise model's storage only when it is selected) and not changed while the
// run lasts.
extern node_model_kind node_model;

// The pairwise model's pattern sums visit all 2^q response patterns with
// q(q+1)/2 statistics each; beyond 10 outcomes a fit costs too much to be run
// for every candidate split.
constexpr int pairwise_max_outcomes = 10;

// Empty when the selected model can be fitted to q outcomes, else the reason
// why not, as one sentence for the user ("the pairwise model takes at most 10
// outcomes, not 12"). Callers check it before the run starts.
std::string node_model_refusal(node_model_kind model, int q);

// Parameters of one node under the selected model for q outcomes: q + 1
// (common), q + q(q-1)/2 (pairwise).
int node_param_count(node_model_kind model, int q);
