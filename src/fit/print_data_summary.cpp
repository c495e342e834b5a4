// print_data_summary: one line per data column, then the outcomes, then the
// columns whose kind was inferred.
#include "fit/print_data_summary.h"

#include <string>
#include <vector>

namespace {

std::string number_text(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

// The categories of a nominal column: their number and their labels, or
// their numbers; the category the split search adds for missing values is
// said separately.
std::string category_text(const column_description& col) {
    const int observed = col.categories - (col.missing > 0 ? 1 : 0);
    std::vector<std::string> names = col.labels;
    if (names.empty())
        for (int k = 0; k < observed; k++) names.push_back(std::to_string(k));
    std::string text = std::to_string(observed) + (observed == 1 ? " category" : " categories");
    for (size_t k = 0; k < names.size(); k++) {
        text += k == 0 ? ": " : ", ";
        if (text.size() > 60) {
            text += "...";
            break;
        }
        text += names[k];
    }
    if (col.missing > 0) text += " (and one for missing values)";
    return text;
}

} // namespace

void print_data_summary(std::FILE* out, const data_description& d) {
    std::fprintf(out, "%s: %s, %d subjects, %zu columns\n", d.source.c_str(), d.format.c_str(),
                 d.subjects, d.columns.size());
    std::fprintf(out, "missing values: %s\n\n", d.missing_rule.c_str());
    size_t width = 6;
    for (const column_description& col : d.columns)
        if (col.name.size() > width) width = col.name.size();
    if (width > 30) width = 30;
    const int w = static_cast<int>(width);
    std::fprintf(out, "  %-*s  %-10s  %7s  %s\n", w, "column", "kind", "missing", "values");
    for (const column_description& col : d.columns) {
        std::string values;
        switch (col.kind) {
        case column_outcome:
            values = std::to_string(col.positives) + " positive";
            break;
        case column_ignored:
            break;
        case column_nominal:
            values = col.observed ? category_text(col) : "no observed value";
            break;
        default:
            values = col.observed ? number_text(col.smallest) + " to " + number_text(col.largest)
                                  : "no observed value";
        }
        std::string missing = col.kind == column_ignored ? "" : std::to_string(col.missing);
        std::fprintf(out, "  %-*s  %-10s  %7s  %s\n", w, col.name.c_str(),
                     column_kind_name(col.kind), missing.c_str(), values.c_str());
    }
    std::string inferred;
    for (const column_description& col : d.columns)
        if (col.inferred) inferred += (inferred.empty() ? "" : ", ") + col.name;
    if (!inferred.empty())
        std::fprintf(out, "\ntaken as nominal because they hold text: %s\n", inferred.c_str());
    std::fprintf(out, "\n");
}
