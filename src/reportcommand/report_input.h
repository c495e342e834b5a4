// What korva report reads: a report file "infor" or a model file, told apart
// by their first character ("{" begins a model file's JSON), both seen as a
// report (tree table, pruning, cross-validation) with its summary.
#pragma once

#include <string>
#include <vector>

#include "modelfile/fitted_model.h"
#include "report/report.h"

struct report_input {
    bool is_model = false;
    fitted_model model; // a model file
    report_file rep;    // the report, or the model seen as one
    cv_summary sum;
};

// False with error ("FILE: ..." or "FILE:LINE: ...") when the file cannot be
// read or is neither kind in good order.
bool read_report_input(const std::string& path, report_input& input, std::string& error);

// Replaces the data columns' names (model) or gives them (report) from names;
// false with error when they do not fit the file.
bool apply_names(report_input& input, const std::vector<std::string>& names,
                 const std::string& names_path, std::string& error);

// The subtree named by --tree (K, min, 1se; empty for the default: 1se, or
// subtree 1 when there are no cross-validation rows), from 1, with how it was
// chosen in words. 0 with error set when it names none.
int chosen_subtree(const report_input& input, const std::string& tree, std::string& chosen_by,
                   std::string& error);
