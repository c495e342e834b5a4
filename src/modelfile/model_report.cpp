// model_as_report, summarize_model_cv, model_subtree_membership: the report
// reader's summaries applied to a fitted model.
#include "modelfile/model_report.h"

#include <cstdio>
#include <cstdlib>

#include "modelfile/build_model.h"

report_file model_as_report(const fitted_model& model, const std::string& name) {
    report_file rep;
    rep.name = name;
    for (const model_node_entry& e : model.nodes) {
        report_node n;
        n.number = e.number;
        n.cases = e.cases;
        n.left = e.left;
        n.right = e.right;
        n.column = e.has_split ? e.split.column + 1 : 0;
        n.nominal = e.has_split && e.split.nominal;
        n.cut = e.split.cut;
        n.right_categories = e.split.right_categories;
        n.likelihood = e.value;
        rep.nodes.push_back(n);
    }
    for (const model_subtree& s : model.subtrees) {
        report_subtree r;
        r.alpha = s.alpha;
        r.pruned = s.pruned;
        rep.subtrees.push_back(r);
    }
    for (const std::vector<float>& row : model.cv.rows)
        rep.cv_rows.emplace_back(row.begin(), row.end());
    return rep;
}

void summarize_model_cv(fitted_model& model) {
    // The scores as the report file prints them (two decimals), so that the
    // model file, korva report on either file and korva fit's table make the
    // same choices even where two means differ only beyond the second decimal.
    report_file rep = model_as_report(model, "");
    for (std::vector<double>& row : rep.cv_rows) {
        for (double& score : row) {
            char text[64];
            std::snprintf(text, sizeof text, "%.2f", score);
            score = std::strtod(text, nullptr);
        }
    }
    cv_summary sum;
    summarize_cv(rep, sum);
    model.cv.mean = sum.repetitions > 0 ? sum.mean : std::vector<double>{};
    model.cv.se = sum.repetitions > 0 ? sum.se : std::vector<double>{};
    model.cv.best = sum.best;
    model.cv.one_se = sum.one_se;
}

void model_subtree_membership(const fitted_model& model, int k, std::vector<int>& in_subtree,
                              std::vector<int>& terminal) {
    subtree_membership(model_as_report(model, ""), k, in_subtree, terminal);
}
