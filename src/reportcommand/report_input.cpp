// read_report_input, apply_names, chosen_subtree.
#include "reportcommand/report_input.h"

#include <fstream>
#include <sstream>

#include "modelfile/model_json.h"
#include "modelfile/model_report.h"
#include "reportmodel/subtree_view.h"

bool read_report_input(const std::string& path, report_input& input, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open the report file";
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        error = path + ": cannot read the file";
        return false;
    }
    const std::string text = buffer.str();
    const size_t first = text.find_first_not_of(" \t\r\n");
    input.is_model = first != std::string::npos && text[first] == '{';
    if (!input.is_model) {
        if (!parse_report(text, path, input.rep, error)) return false;
        summarize_cv(input.rep, input.sum);
        return true;
    }
    if (!model_from_json_text(text, path, input.model, error)) return false;
    input.rep = model_as_report(input.model, path);
    input.sum = model_cv_summary(input.model);
    return true;
}

bool apply_names(report_input& input, const std::vector<std::string>& names,
                 const std::string& names_path, std::string& error) {
    const std::string count =
        std::to_string(names.size()) + (names.size() == 1 ? " name" : " names");
    if (!input.is_model) {
        for (const report_node& t : input.rep.nodes) {
            if (t.left != 0 && t.column > static_cast<int>(names.size())) {
                error = names_path + ": " + count + ", but node " + std::to_string(t.number) +
                        " splits on data column " + std::to_string(t.column);
                return false;
            }
        }
        return true;
    }
    std::vector<column_description>& columns = input.model.data.columns;
    if (names.size() != columns.size()) {
        error = names_path + ": " + count + ", but the model has " +
                std::to_string(columns.size()) + " data columns (one name per column)";
        return false;
    }
    input.model.outcomes.clear();
    for (size_t c = 0; c < columns.size(); c++) {
        columns[c].name = names[c];
        if (columns[c].kind == column_outcome) input.model.outcomes.push_back(names[c]);
    }
    return true;
}

int chosen_subtree(const report_input& input, const std::string& tree, std::string& chosen_by,
                   std::string& error) {
    const int k = static_cast<int>(input.rep.subtrees.size());
    const std::string range = "1.." + std::to_string(k);
    if (tree.empty() && input.sum.one_se < 0) {
        // Subtree 1 is the grown tree unless pruning at alpha 0 already cut nodes.
        chosen_by = std::string("no cross-validation to choose by: subtree 1, ") +
                    (input.rep.subtrees[0].pruned.empty() ? "the grown tree" : "the largest");
        return 1;
    }
    if (tree.empty() || tree == "1se" || tree == "min") {
        const std::string rule = tree.empty() ? "1se" : tree;
        const int j = rule == "min" ? input.sum.best : input.sum.one_se;
        if (j < 0) {
            error = input.rep.name + ": no usable cross-validation rows, so --tree " + rule +
                    " cannot choose a subtree; give its number (" + range + ")";
            return 0;
        }
        chosen_by = rule == "min" ? "the lowest mean cross-validated score"
                                  : "the one-standard-error choice";
        return j + 1;
    }
    // Syntax was checked with the options: digits only.
    const long v = tree.size() > 9 ? 1000000000L : std::stol(tree);
    if (v < 1 || v > k) {
        error =
            input.rep.name + ": subtree " + tree + " out of range: the file has subtrees " + range;
        return 0;
    }
    chosen_by = "chosen by number";
    return static_cast<int>(v);
}
