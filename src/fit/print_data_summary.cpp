// print_data_summary: one line per data column, then the outcomes, then the
// columns whose kind was inferred.
#include "fit/print_data_summary.h"

#include <string>

namespace {

std::string number_text(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

// The categories of a nominal column: its labels, or its numbers.
std::string category_text(const column_description& col) {
    std::string text =
        std::to_string(col.categories) + (col.categories == 1 ? " category" : " categories");
    if (!col.labels.empty()) {
        text += ": ";
        size_t shown = 0;
        for (const std::string& label : col.labels) {
            if (shown > 0) text += ", ";
            if (text.size() > 60) {
                text += "...";
                break;
            }
            text += label;
            shown++;
        }
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
        case column_kind::outcome:
            values = std::to_string(col.positives) + " positive";
            break;
        case column_kind::ignored:
            break;
        case column_kind::nominal:
            values = col.observed ? category_text(col) : "no observed value";
            break;
        default:
            values = col.observed ? number_text(col.smallest) + " to " + number_text(col.largest)
                                  : "no observed value";
        }
        std::string missing = col.kind == column_kind::ignored ? "" : std::to_string(col.missing);
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
