// choose_subtree: --tree against the model's pruning sequence and
// cross-validation choices.
#include "predict/choose_subtree.h"

#include "numeric/printable_text.h"
#include "predict/predict_error.h"

namespace {

bool whole_number(const std::string& text, long long& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

} // namespace

subtree_choice choose_subtree(const fitted_model& model, const std::string& tree) {
    const int n = static_cast<int>(model.subtrees.size());
    const bool has_rows = model.cv.one_se >= 0 && model.cv.best >= 0;
    subtree_choice choice;
    if (tree.empty()) {
        if (has_rows) {
            choice.k = model.cv.one_se + 1;
            choice.why = "the one-standard-error choice of the model's cross-validation (the "
                         "default; --tree picks another)";
        } else {
            choice.k = 1;
            choice.why = "the grown tree with its first pruning list applied (the default: the "
                         "model has no cross-validation rows)";
        }
        return choice;
    }
    if (tree == "min" || tree == "1se") {
        if (!has_rows)
            throw predict_error("--tree " + tree +
                                ": the model has no cross-validation rows to choose from (give a "
                                "subtree number, 1 to " +
                                std::to_string(n) + ")");
        const bool min = tree == "min";
        choice.k = (min ? model.cv.best : model.cv.one_se) + 1;
        choice.why = min ? "the lowest mean cross-validated score (--tree min)"
                         : "the one-standard-error choice of the model's cross-validation";
        return choice;
    }
    long long k = 0;
    if (!whole_number(tree, k) || k < 1 || k > n)
        throw predict_error("--tree " + printable_text(tree) +
                            ": expected a subtree number from 1 "
                            "to " +
                            std::to_string(n) + ", min or 1se");
    choice.k = static_cast<int>(k);
    choice.why = "as asked (--tree " + tree + ")";
    return choice;
}
