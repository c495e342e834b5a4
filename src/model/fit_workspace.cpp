// alloc_fit_workspace / release_fit_workspace: the arrays of one fit's work
// storage for q outcomes, the parameter-free pattern table filled from the
// bits of each of the 2^q pattern indices, and the pairwise model's storage
// when that model is selected.
#include "model/fit_workspace.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "model/node_model.h"
#include "numeric/arrays.h"
#include "numeric/fatal_error.h"

void alloc_fit_workspace(fit_workspace& ws, int q) {
    ws.q = q;
    ws.cov_matrix = matrix(q + 2, q + 2);
    ws.svd_v = matrix(q + 2, q + 2);
    ws.singular_values = dvector(q + 2);
    ws.newton_step = dvector(q + 2);
    ws.pattern_bits = ivector(q + 2);
    ws.superdiagonal = dvector(q + 3);
    ws.n_retained = 0;
    ws.retained = ivector(q > 0 ? q : 1);
    ws.fitted = 0;
    ws.passes = 0;
    ws.stop_rule = fit_stop_none;

    long count = 1L << q;
    const int stride = (q + 3) / 4 * 4 > 0 ? (q + 3) / 4 * 4 : 4;
    ws.pattern_stride = stride;
    ws.pattern_table = dvector(count * stride);
    ws.pattern_pairs = ivector(count);
    ws.pattern_eta = static_cast<double*>(std::malloc(sizeof(double) * count));
    ws.pattern_exp = dvector(count);
    ws.exp_table = static_cast<double*>(std::malloc(sizeof(double) * 128));
    if (ws.pattern_eta == nullptr || ws.exp_table == nullptr)
        fatal_error("allocation failure in dvector()");
    for (int j = 0; j < 128; j++) ws.exp_table[j] = std::exp2(j / 128.0);
    for (long i = 0; i < count; i++) {
        int s = 0;
        for (int j = 0; j < stride; j++) {
            int bit = j < q ? static_cast<int>((i >> j) & 1) : 0;
            ws.pattern_table[i * stride + j] = static_cast<real>(bit);
            s += bit;
        }
        ws.pattern_pairs[i] = s * (s - 1) / 2;
    }
    if (node_model == node_model_pairwise) {
        // Callers refuse such runs before they start; this keeps the 2^q
        // tables of an oversized request from being allocated.
        const std::string refusal = node_model_refusal(node_model, q);
        if (!refusal.empty()) input_error("%s", refusal.c_str());
        alloc_pairwise_workspace(ws.pairwise, q);
    }
}

void release_fit_workspace(fit_workspace& ws) {
    release_matrix(ws.cov_matrix, ws.q + 2);
    release_matrix(ws.svd_v, ws.q + 2);
    release_vector(ws.singular_values);
    release_vector(ws.newton_step);
    release_vector(ws.pattern_bits);
    release_vector(ws.superdiagonal);
    release_vector(ws.retained);
    release_vector(ws.pattern_table);
    release_vector(ws.pattern_pairs);
    std::free(ws.pattern_eta);
    std::free(ws.exp_table);
    release_vector(ws.pattern_exp);
    if (ws.pairwise.doubles != nullptr) release_pairwise_workspace(ws.pairwise);
    ws = fit_workspace{};
}
