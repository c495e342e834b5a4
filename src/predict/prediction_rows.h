// prediction_rows: the output table. Its columns: the kept input columns,
// `node`, `p_NAME` per outcome, `loglik` when the input has every outcome
// column, and with --patterns `P_` and the 0/1 digits of each joint outcome
// pattern (outcomes in column order, patterns counted in binary with the
// first outcome as the most significant digit). Everything but the kept
// fields and loglik depends only on the node and is formatted once per node.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "modelfile/fitted_model.h"
#include "predict/csv_output.h"
#include "predict/node_scoring.h"
#include "predict/routing_plan.h"

// Above this many outcomes --patterns is refused (2^10 = 1024 columns).
constexpr int max_pattern_outcomes = 10;

struct prediction_rows {
    bool loglik = false;
    bool patterns = false;
    std::vector<std::string> node_text;    // per node: "NODE,p_1,...,p_q" (terminal nodes)
    std::vector<std::string> pattern_text; // per node: ",P_...,P_..." (with --patterns)
    std::vector<case_scorer> scorers;      // per node (terminal nodes)
};

// The texts and scorers of the plan's terminal nodes. Throws predict_error
// for --patterns with more than max_pattern_outcomes outcomes, or a fit that
// cannot be used.
prediction_rows make_prediction_rows(const fitted_model& model, const routing_plan& plan,
                                     bool loglik, bool patterns, const std::string& model_name);

// The header row.
void write_header_row(csv_output& out, const prediction_rows& rows, const fitted_model& model,
                      const std::vector<std::string>& kept_names);

// One subject's row: y holds its q outcomes, or is null when one is missing
// (loglik is then empty).
inline void write_prediction_row(csv_output& out, const prediction_rows& rows,
                                 const std::string_view* kept, std::size_t n_kept, int node,
                                 const unsigned char* y) {
    for (std::size_t i = 0; i < n_kept; i++) {
        out.field(kept[i]);
        out.put(',');
    }
    const std::size_t t = static_cast<std::size_t>(node);
    out.raw(rows.node_text[t]);
    if (rows.loglik) {
        out.put(',');
        if (y != nullptr) out.number(case_log_likelihood(rows.scorers[t], y));
    }
    if (rows.patterns) out.raw(rows.pattern_text[t]);
    out.put('\n');
}
