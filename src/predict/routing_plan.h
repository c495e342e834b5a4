// routing_plan: the chosen subtree as flat per-node arrays, and the routing of
// one subject down it by the rules growing and cross-validation use.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "modelfile/fitted_model.h"

// How a column's cells become what the splits compare.
enum class column_rule : unsigned char {
    ordered,          // continuous or ordinal: a number, compared with cuts
    numbered_nominal, // categories written as whole numbers 0, 1, ...
    labelled_nominal, // categories written as text labels
};

// A data column the subtree splits on.
struct split_column {
    int column = 0; // the model's data column, from 0
    std::string name;
    column_rule rule = column_rule::ordered;
    std::vector<std::string> labels; // labelled: the label of category k
    int categories = 0; // nominal: the categories training observed (not the missing one)
};

enum value_state : unsigned char {
    value_observed, // x (ordered) or category (nominal) holds it
    value_missing,  // a missing cell
    value_unseen,   // a label or category number that training never had
};

// One subject's value of a split column.
struct column_value {
    float x = 0;
    int category = 0; // 0 .. categories-1
    value_state state = value_observed;
};

// An internal node of the subtree (slot -1: terminal in the subtree).
struct plan_node {
    int slot = -1;               // index into routing_plan::columns
    int left = 0;                // left daughter; the right one is left + 1
    int larger = 0;              // the daughter with more training cases (the left one on a tie)
    int missing_to = 0;          // the daughter of a missing value, when missing_known
    float cut = 0;               // ordered: values up to and including it go left
    std::uint32_t left_mask = 0; // nominal: bit k set when category k goes left
    bool nominal = false;
    bool missing_known = false; // training had missing values in the split's column
};

struct routing_plan {
    int subtree = 1;
    std::vector<split_column> columns; // in order of first use, node by node
    std::vector<plan_node> nodes;      // per node of the grown tree
    std::vector<int> terminal_nodes;   // of the subtree, ascending
};

// The plan of subtree k (from 1). Throws predict_error, naming model_name,
// when a split of the model cannot be applied (a damaged file).
routing_plan make_routing_plan(const fitted_model& model, int k, const std::string& model_name);

// Per split column, the subjects that met a value training had no rule for
// and went to the daughter with more training cases: a missing value in a
// column without missing values in training, or a label or category number
// never seen. A subject counts once per column.
struct fallback_tally {
    long long row = 0;              // the current subject, set by the caller
    std::vector<long long> last;    // per column: the last subject counted
    std::vector<long long> missing; // per column: subjects with a missing value
    std::vector<long long> unseen;  // per column: subjects with an unseen value

    explicit fallback_tally(std::size_t columns)
        : last(columns, -1), missing(columns, 0), unseen(columns, 0) {}
    void note(int slot, value_state state) {
        const std::size_t s = static_cast<std::size_t>(slot);
        if (last[s] == row) return;
        last[s] = row;
        (state == value_missing ? missing : unseen)[s]++;
    }
};

// The terminal node of the subtree that a subject with these values (one per
// plan column) reaches. A value equal to a cut goes left; a category goes
// left when the split's left set has it (a category the node's training cases
// lacked is in the right set); a missing value goes where training sent the
// missing cases of the split's covariate (below every value in the column
// itself, above in its copy; the missing category of a nominal column).
inline int route(const routing_plan& plan, const column_value* values, fallback_tally& tally) {
    const plan_node* nodes = plan.nodes.data();
    int t = 0;
    for (;;) {
        const plan_node& n = nodes[t];
        if (n.slot < 0) return t;
        const column_value& v = values[n.slot];
        if (v.state == value_observed) {
            const bool left = n.nominal ? ((n.left_mask >> v.category) & 1u) != 0 : v.x <= n.cut;
            t = left ? n.left : n.left + 1;
        } else if (v.state == value_missing && n.missing_known) {
            t = n.missing_to;
        } else {
            tally.note(n.slot, v.state);
            t = n.larger;
        }
    }
}
