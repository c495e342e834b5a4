// view_of_subtree and model_cv_summary.
#include "reportmodel/subtree_view.h"

#include "modelfile/build_model.h"
#include "modelfile/model_report.h"

subtree_view view_of_subtree(const fitted_model& model, int k, const std::string& chosen_by) {
    subtree_view v;
    v.k = k;
    v.chosen_by = chosen_by;
    model_subtree_membership(model, k, v.in_subtree, v.terminal);
    v.depth.assign(model.nodes.size(), 0);
    std::vector<int> stack = {0};
    while (!stack.empty()) {
        const int t = stack.back();
        stack.pop_back();
        v.order.push_back(t);
        const model_node_entry& e = model.nodes[static_cast<size_t>(t)];
        if (v.terminal[static_cast<size_t>(t)]) {
            v.terminal_nodes.push_back(t);
            continue;
        }
        for (int d : {e.right, e.left}) {
            v.depth[static_cast<size_t>(d)] = v.depth[static_cast<size_t>(t)] + 1;
            stack.push_back(d);
        }
    }
    return v;
}

cv_summary model_cv_summary(const fitted_model& model) {
    cv_summary sum;
    sum.repetitions = static_cast<int>(model.cv.rows.size());
    // Counted from the tree rather than taken from the file, which may come
    // from a korva that counted the nodes cut away as terminal.
    subtree_sizes(model_as_report(model, ""), sum.terminal_nodes);
    sum.mean = model.cv.mean;
    sum.se = model.cv.se;
    sum.mean.resize(model.subtrees.size(), 0.0);
    sum.se.resize(model.subtrees.size(), 0.0);
    sum.best = model.cv.best;
    sum.one_se = model.cv.one_se;
    sum.folds = model.cv.folds;
    sum.subjects = model.nodes.empty() ? 0 : model.nodes[0].cases;
    return sum;
}
