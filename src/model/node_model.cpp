// node_model and its limits: the run-wide model choice, the outcome count each
// model accepts and the parameter count of a node.
#include "model/node_model.h"

node_model_kind node_model = node_model_common;

std::string node_model_refusal(node_model_kind model, int q) {
    if (model == node_model_pairwise && q > pairwise_max_outcomes) {
        return "the pairwise model takes at most " + std::to_string(pairwise_max_outcomes) +
               " outcomes, not " + std::to_string(q);
    }
    return "";
}

int node_param_count(node_model_kind model, int q) {
    return model == node_model_pairwise ? q + q * (q - 1) / 2 : q + 1;
}
