// A small model written by hand, whose every split exercises one routing rule,
// and a plain reader of the CSV korva predict writes.
//
// Columns: case (ignored), x (continuous, no missing values), m (continuous
// with missing values: covariate 1 gives them -1, its copy, covariate 4, 31),
// g (labels a, b, c and missing: category 3), h (categories 0..2), y1, y2.
//
//   node 0 (100 cases, no fit): x <= 5 -> 1 (60) | 2 (40)
//   node 1 (fit):               m <= 10 -> 3 (30) | 4 (30); missing left
//   node 2 (no fit):            g in {a, missing} -> 5 (15) | 6 (25); c absent
//   node 3 (fit):               copy of m <= 20 -> 7 (20) | 8 (10); missing right
//   node 4 (fit):               h in {1} -> 9 (20) | 10 (10)
//   terminal: 5 (fit), 6 (no fit on its path: uniform), 7, 8 (fits),
//   9 (no fit, scored by 4; y1 always 0), 10 (fit of y2 alone; y1 always 1)
#pragma once

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "modelfile/fitted_model.h"

namespace hand {

inline column_description column(const std::string& name, column_kind kind, int missing,
                                 double smallest, double largest) {
    column_description c;
    c.name = name;
    c.kind = kind;
    c.missing = missing;
    c.observed = kind != column_outcome && kind != column_ignored;
    c.smallest = smallest;
    c.largest = largest;
    return c;
}

// P(y_j = 1) under node u's fit, over its retained outcomes (q = 2).
inline std::vector<double> marginals(const fitted_node_model& f) {
    std::vector<double> positive(2, 0.0);
    double total = 0;
    const int m = static_cast<int>(f.retained.size());
    for (int z = 0; z < (1 << m); z++) {
        double eta = 0;
        int s = 0;
        for (int r = 0; r < m; r++)
            if ((z >> r) & 1) eta += f.theta[f.retained[r]], s++;
        const double w = std::exp(eta + f.omega * (s * (s - 1) / 2));
        total += w;
        for (int r = 0; r < m; r++)
            if ((z >> r) & 1) positive[f.retained[r]] += w;
    }
    for (double& p : positive) p /= total;
    return positive;
}

inline fitted_model model() {
    fitted_model m;
    m.korva_version = "test";
    m.data.source = "hand.csv";
    m.data.format = "delimited text (comma-separated)";
    m.data.missing_rule = "empty cells and NA";
    m.data.subjects = 100;
    m.data.columns = {
        column("case", column_ignored, 0, 0, 0),  column("x", column_continuous, 0, 0, 10),
        column("m", column_continuous, 5, 0, 30), column("g", column_nominal, 4, 0, 2),
        column("h", column_nominal, 0, 0, 2),     column("y1", column_outcome, 0, 0, 0),
        column("y2", column_outcome, 0, 0, 0)};
    m.data.columns[3].labels = {"a", "b", "c"};
    m.data.columns[3].categories = 4;
    m.data.columns[4].categories = 3;
    m.outcomes = {"y1", "y2"};
    m.n_covariates = 5;
    m.cov_column = {1, 2, 3, 4, 2};
    m.cov_levels = {1, 1, 4, 3, 1};
    m.is_copy = {false, false, false, false, true};
    m.missing_value = {NAN, -1, 3, NAN, 31};

    struct shape {
        int parent, left, cases, covariate;
        float split; // cut, or the left category bit set
        bool fitted;
        std::vector<int> retained;
        float theta0, theta1, omega;
        int positives0;
    };
    const std::vector<shape> shapes = {
        {-1, 1, 100, 0, 5, false, {}, 0, 0, 0, 50},
        {0, 3, 60, 1, 10, true, {0, 1}, 0.5f, -1, 0.3f, 30},
        {0, 5, 40, 2, 9, false, {}, 0, 0, 0, 20},
        {1, 7, 30, 4, 20, true, {0, 1}, 1, -1, 0.5f, 15},
        {1, 9, 30, 3, 2, true, {0, 1}, -0.2f, 0.4f, 0.1f, 10},
        {2, 0, 15, 0, 0, true, {0, 1}, 0, 0, 0, 7},
        {2, 0, 25, 0, 0, false, {}, 0, 0, 0, 12},
        {3, 0, 20, 0, 0, true, {0, 1}, 0.2f, 0.1f, 0, 10},
        {3, 0, 10, 0, 0, true, {0, 1}, -0.3f, 0, 0.2f, 5},
        {4, 0, 20, 0, 0, false, {}, 0, 0, 0, 0},
        {4, 0, 10, 0, 0, true, {1}, 0, 0.7f, 0, 10},
    };
    for (int t = 0; t < static_cast<int>(shapes.size()); t++) {
        const shape& s = shapes[t];
        model_node_entry e;
        e.number = t;
        e.parent = s.parent;
        e.left = s.left;
        e.right = s.left == 0 ? 0 : s.left + 1;
        e.cases = s.cases;
        e.positives = {s.positives0, s.cases / 2};
        e.rate = {static_cast<double>(s.positives0) / s.cases, 0.5};
        if (s.left != 0) {
            e.has_split = true;
            model_split& p = e.split;
            p.covariate = s.covariate;
            p.column = m.cov_column[s.covariate];
            p.nominal = m.cov_levels[s.covariate] > 1;
            p.split_value = s.split;
            if (p.nominal) {
                for (int k = 0; k < m.cov_levels[s.covariate]; k++)
                    ((static_cast<int>(s.split) >> k) & 1 ? p.left_categories : p.right_categories)
                        .push_back(k);
            } else {
                p.cut = s.split;
                p.missing_copy = m.is_copy[s.covariate];
            }
        }
        fitted_node_model& f = e.model;
        f.fitted = s.fitted;
        f.model_node = s.fitted ? t : s.parent < 0 ? -1 : m.nodes[s.parent].model.model_node;
        f.retained = s.retained;
        f.theta = {s.theta0, s.theta1};
        f.omega = s.omega;
        f.pure = {e.rate[0] == 0 || e.rate[0] == 1, false};
        if (s.fitted) {
            f.pure = {true, true};
            for (int j : s.retained) f.pure[j] = false;
            double a = 0;
            for (int z = 0; z < (1 << s.retained.size()); z++) {
                double eta = 0;
                int n = 0;
                for (std::size_t r = 0; r < s.retained.size(); r++)
                    if ((z >> r) & 1) eta += f.theta[s.retained[r]], n++;
                a += std::exp(eta + f.omega * (n * (n - 1) / 2));
            }
            f.normaliser = static_cast<float>(a);
        }
        f.probability = {0.5, 0.5};
        if (f.model_node >= 0) {
            const fitted_node_model& u = f.model_node == t ? f : m.nodes[f.model_node].model;
            const std::vector<double> p = marginals(u);
            for (int j : u.retained) f.probability[j] = p[j];
        }
        for (int j = 0; j < 2; j++)
            if (e.rate[j] == 0 || e.rate[j] == 1) f.probability[j] = e.rate[j];
        m.nodes.push_back(e);
    }
    model_subtree grown;
    grown.terminal = 6;
    m.subtrees.push_back(grown);
    m.cv.folds = 5;
    return m;
}

// The rows of a CSV without quoted fields, each split at its commas.
inline std::vector<std::vector<std::string>> csv_rows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        rows.emplace_back();
        std::size_t from = 0;
        for (;;) {
            const std::size_t comma = line.find(',', from);
            rows.back().push_back(line.substr(from, comma - from));
            if (comma == std::string::npos) break;
            from = comma + 1;
        }
    }
    return rows;
}

} // namespace hand
