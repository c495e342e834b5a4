// A small fitted model made by hand for the report's model views: 10 subjects,
// a nominal column "group" with text labels (control, placebo, treated), a
// continuous "dose" with missing values (observed 1 to 10), outcomes a and b.
//
//   0 all (10)  split group: {control, treated} left, {placebo} right
//   1 (6)       split dose's copy at 4.5: missing values go right
//     3 (4)     split dose at 2: missing values go left
//       5 (2)   terminal        6 (2) terminal
//     4 (2)     terminal: a positive in both cases (pure)
//   2 (4)       terminal
// Subtree 2 cuts node 3, subtree 3 the root.
#pragma once

#include <cmath>

#include "modelfile/fitted_model.h"

inline model_node_entry hand_node(int number, int parent, int left, int cases,
                                  std::vector<int> positives, float omega,
                                  std::vector<double> probability) {
    model_node_entry e;
    e.number = number;
    e.parent = parent;
    e.left = left;
    e.right = left > 0 ? left + 1 : 0;
    e.cases = cases;
    e.positives = positives;
    for (int p : positives) e.rate.push_back(static_cast<double>(p) / cases);
    fitted_node_model& m = e.model;
    m.fitted = true;
    m.model_node = number;
    m.theta = {0.1f, 0.2f};
    m.omega = omega;
    for (int p : positives) {
        m.pure.push_back(p == 0 || p == cases);
        if (p > 0 && p < cases) m.retained.push_back(static_cast<int>(m.pure.size()) - 1);
    }
    m.probability = probability;
    return e;
}

inline model_split hand_split(int covariate, int column, float cut, const std::string& missing) {
    model_split s;
    s.covariate = covariate;
    s.column = column;
    s.cut = cut;
    s.split_value = cut;
    s.missing_copy = covariate == 2;
    s.missing_go = missing;
    return s;
}

inline fitted_model hand_model() {
    fitted_model m;
    m.data.source = "hand.csv";
    m.data.subjects = 10;
    column_description group, dose, a, b;
    group.name = "group";
    group.kind = column_nominal;
    group.labels = {"control", "placebo", "treated"};
    group.categories = 3;
    group.observed = true;
    dose.name = "dose";
    dose.missing = 2;
    dose.observed = true;
    dose.smallest = 1;
    dose.largest = 10;
    a.name = "a";
    a.kind = column_outcome;
    b.name = "b";
    b.kind = column_outcome;
    m.data.columns = {group, dose, a, b};
    m.outcomes = {"a", "b"};
    m.n_covariates = 3;
    m.cov_column = {0, 1, 1};
    m.cov_levels = {3, 1, 1};
    m.is_copy = {false, false, true};
    m.missing_value = {NAN, 0, 11};

    m.nodes = {hand_node(0, -1, 1, 10, {5, 4}, 0.0f, {0.5, 0.4}),
               hand_node(1, 0, 3, 6, {4, 3}, 0.5f, {0.66, 0.5}),
               hand_node(2, 0, 0, 4, {1, 1}, static_cast<float>(-std::log(4.0)), {0.3, 0.2}),
               hand_node(3, 1, 5, 4, {2, 2}, 0.5f, {0.5, 0.5}),
               hand_node(4, 1, 0, 2, {2, 1}, 0.0f, {1.0, 0.45}),
               hand_node(5, 3, 0, 2, {1, 1}, static_cast<float>(std::log(2.0)), {0.52, 0.48}),
               hand_node(6, 3, 0, 2, {1, 1}, 0.0f, {0.5, 0.5})};
    model_split& g = m.nodes[0].split;
    m.nodes[0].has_split = true;
    g.column = 0;
    g.covariate = 0;
    g.nominal = true;
    g.left_categories = {0, 2};
    g.right_categories = {1};
    m.nodes[1].has_split = m.nodes[3].has_split = true;
    m.nodes[1].split = hand_split(2, 1, 4.5f, "right");
    m.nodes[3].split = hand_split(1, 1, 2.0f, "left");
    m.subtrees = {{0.0f, {}, 4}, {1.0f, {3}, 3}, {5.0f, {0}, 1}};
    m.cv.folds = 2;
    return m;
}

// The same tree under the pairwise node model with a third outcome c, positive
// once in every node: each node's model has omega_ab = 0.5, omega_ac = -1 and
// omega_bc = 0, but node 2's has omega_ab = 5 and omega_ac = -6 (odds ratios
// beyond the two decimals).
inline fitted_model hand_pairwise_model() {
    fitted_model m = hand_model();
    m.node_model_kind = "pairwise";
    column_description c;
    c.name = "c";
    c.kind = column_outcome;
    m.data.columns.push_back(c);
    m.outcomes.push_back("c");
    for (model_node_entry& e : m.nodes) {
        e.positives.push_back(1);
        e.rate.push_back(1.0 / e.cases);
        fitted_node_model& f = e.model;
        f.retained = {0, 1, 2};
        f.pure = {false, false, false};
        f.theta = {0.1f, 0.2f, 0.3f};
        f.probability.push_back(0.2);
        const float ab = e.number == 2 ? 5.0f : 0.5f, ac = e.number == 2 ? -6.0f : -1.0f;
        f.omega_pairs = {0, ab, ac, ab, 0, 0, ac, 0, 0};
    }
    return m;
}
