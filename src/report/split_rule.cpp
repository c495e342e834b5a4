// The rule that sends a case to the left daughter, as text.
//
// For a nominal split the report lists the categories that went right. The split
// search never moves the highest category k-1 to the left, so it is always in that
// list, and the left categories are the others from 0 up to the largest one listed.
#include "report/float_text.h"
#include "report/report.h"

namespace {

std::string category_list(const std::vector<int>& cats) {
    std::string s = "{";
    for (std::size_t i = 0; i < cats.size(); i++) {
        if (i > 0) s += ",";
        s += std::to_string(cats[i]);
    }
    return s + "}";
}

} // namespace

std::string split_rule(const report_node& node, const std::vector<std::string>& names) {
    std::string column = node.column >= 1 && node.column <= static_cast<int>(names.size())
                             ? names[node.column - 1]
                             : "column " + std::to_string(node.column);
    // The report prints cuts with six decimals; the cut itself is a float.
    if (!node.nominal) return column + " <= " + float_text(static_cast<float>(node.cut));
    std::vector<int> left;
    if (!node.right_categories.empty()) {
        std::size_t r = 0;
        for (int c = 0; c <= node.right_categories.back(); c++) {
            if (r < node.right_categories.size() && node.right_categories[r] == c)
                r++;
            else
                left.push_back(c);
        }
    }
    if (left.empty()) return column + " not in " + category_list(node.right_categories);
    return column + " in " + category_list(left);
}
