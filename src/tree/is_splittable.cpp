// is_splittable: answers whether node t passes the size, depth, outcome
// variation and covariate variation tests, from its case list and the parent
// links.
#include "numeric/run_counts.h"
#include "tree/grow_state.h"

namespace {
constexpr int min_split_cases = 61; // a node needs more than 60 cases
constexpr int max_split_depth = 20; // nodes of depth 0 .. 20 may be split
} // namespace

bool is_splittable(const grow_state& g, int t) {
    const node_table& nodes = *g.nodes;
    int m = nodes.node_cases[t];
    if (m < min_split_cases) return false;

    int depth = 0;
    for (int u = t; u != 0; u = nodes.parent[u]) depth++;
    if (depth > max_split_depth) return false;

    const int* cases = g.cases_in_t[t];
    int first = cases[0];
    bool outcome_varies = false;
    for (int k = 0; k < n_outcomes && !outcome_varies; k++) {
        const int* row = g.outcomes[k];
        int y0 = row[first];
        for (int i = 1; i < m; i++) {
            if (row[cases[i]] != y0) {
                outcome_varies = true;
                break;
            }
        }
    }
    if (!outcome_varies) return false;

    for (int c = 0; c < n_covariates; c++) {
        const real* row = g.covariates[c];
        real x0 = row[first];
        for (int i = 1; i < m; i++) {
            real x = row[cases[i]];
            if (x < x0 || x > x0) return true;
        }
    }
    return false;
}
