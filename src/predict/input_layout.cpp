// match_columns: names of the input's header row against the model's.
#include "predict/input_layout.h"

#include <algorithm>
#include <unordered_map>

#include "predict/predict_error.h"
#include "table/cells.h"
#include "table/shown_text.h"

namespace {

// The header's names for a message, at most 20 of them.
std::string column_list(const std::vector<std::string>& header) {
    std::string list;
    for (std::size_t k = 0; k < header.size() && k < 20; k++)
        list += (k > 0 ? ", " : "") + shown_text(header[k]);
    if (header.size() > 20) list += ", ... (" + std::to_string(header.size()) + " columns)";
    return list;
}

std::string name_list(const std::vector<std::string>& names) {
    std::string list;
    for (std::size_t k = 0; k < names.size(); k++)
        list += (k == 0 ? "" : k + 1 == names.size() ? " and " : ", ") + shown_text(names[k]);
    return list;
}

} // namespace

input_layout match_columns(const std::vector<std::string>& header, const routing_plan& plan,
                           const fitted_model& model, const std::vector<std::string>& keep,
                           const std::string& where) {
    std::unordered_map<std::string_view, int> index;
    for (std::size_t k = 0; k < header.size(); k++) index.emplace(header[k], static_cast<int>(k));
    auto find = [&](std::string_view name) {
        auto it = index.find(name);
        return it == index.end() ? -1 : it->second;
    };

    input_layout layout;
    layout.kept.assign(header.size(), false);
    std::vector<std::string> absent;
    for (const split_column& c : plan.columns) {
        layout.slot_column.push_back(find(c.name));
        if (layout.slot_column.back() < 0) absent.push_back(c.name);
    }
    if (!absent.empty())
        throw predict_error(where + ": no column " + name_list(absent) + ", which the tree " +
                            "splits on (the file's columns are " + column_list(header) + ")");
    for (const std::string& given : keep) {
        const int k = find(trim_blanks(given));
        if (k < 0)
            throw predict_error(where + ": --keep names " + shown_text(trim_blanks(given)) +
                                ", which is not a column (the file's columns are " +
                                column_list(header) + ")");
        layout.keep_column.push_back(k);
        layout.kept[static_cast<std::size_t>(k)] = true;
    }
    for (const std::string& name : model.outcomes) {
        layout.outcome_column.push_back(find(name));
        if (layout.outcome_column.back() < 0) layout.absent_outcomes.push_back(name);
    }
    if (!layout.absent_outcomes.empty()) layout.outcome_column.clear();

    std::vector<input_layout::use> reads;
    for (std::size_t s = 0; s < layout.slot_column.size(); s++)
        reads.push_back({layout.slot_column[s], static_cast<int>(s), -1});
    for (std::size_t j = 0; j < layout.outcome_column.size(); j++)
        reads.push_back({layout.outcome_column[j], -1, static_cast<int>(j)});
    std::stable_sort(
        reads.begin(), reads.end(),
        [](const input_layout::use& a, const input_layout::use& b) { return a.column < b.column; });
    // A column that is both split on and an outcome (not in a model korva
    // wrote) is read for both in one entry.
    for (const input_layout::use& u : reads) {
        if (!layout.reads.empty() && layout.reads.back().column == u.column) {
            if (u.slot >= 0) layout.reads.back().slot = u.slot;
            if (u.outcome >= 0) layout.reads.back().outcome = u.outcome;
        } else {
            layout.reads.push_back(u);
        }
    }
    return layout;
}
