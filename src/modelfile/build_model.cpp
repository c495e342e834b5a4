// describe_model_data, snapshot_grown_tree, fit_node_models, add_pruning,
// add_cross_validation: the fitted model from the engine's arrays.
#include "modelfile/build_model.h"

#include <cmath>
#include <cstring>

#include "model/node_fit.h"
#include "model/node_model.h"
#include "model/node_stats.h"
#include "model/pairwise_fit.h"
#include "modelfile/model_report.h"
#include "numeric/run_counts.h"
#include "report/report.h"

namespace {

bool column_has_missing(const fitted_model& model, int column) {
    return model.data.columns[static_cast<size_t>(column)].missing > 0;
}

// P(y_j = 1) for every outcome under a node's model, from the sums over the
// patterns of the retained outcomes, in double: the common model's theta and
// omega, or the pairwise model's parameters.
void outcome_probabilities(const fitted_node_model& fit, int q, std::vector<double>& probability) {
    const int m = static_cast<int>(fit.retained.size());
    const bool pairwise = !fit.pair_params.empty();
    std::vector<double> positive(static_cast<size_t>(m), 0.0);
    double total = 0;
    const long patterns = 1L << m;
    for (long i = 0; i < patterns; i++) {
        double eta = 0;
        int s = 0;
        for (int a = 0; a < m; a++) {
            if (((i >> a) & 1) == 0) continue;
            const int j = fit.retained[static_cast<size_t>(a)];
            s++;
            if (!pairwise) {
                eta += fit.theta[static_cast<size_t>(j)];
                continue;
            }
            eta += fit.pair_params[static_cast<size_t>(j)];
            for (int b = a + 1; b < m; b++)
                if ((i >> b) & 1)
                    eta += fit.pair_params[static_cast<size_t>(
                        pairwise_index(q, j, fit.retained[static_cast<size_t>(b)]))];
        }
        if (!pairwise) eta += static_cast<double>(fit.omega) * (s * (s - 1) / 2);
        const double w = std::exp(eta);
        total += w;
        for (int a = 0; a < m; a++)
            if ((i >> a) & 1) positive[static_cast<size_t>(a)] += w;
    }
    for (int a = 0; a < m; a++)
        probability[static_cast<size_t>(fit.retained[static_cast<size_t>(a)])] =
            positive[static_cast<size_t>(a)] / total;
}

// The pairwise fit the workspace holds, as the node's model.
void take_pairwise_fit(const fit_workspace& fit, int q, fitted_node_model& m) {
    const pairwise_workspace& pw = fit.pairwise;
    m.pair_params.assign(pw.params, pw.params + pw.D);
    m.log_normaliser = pw.log_normaliser;
    m.retained.clear();
    for (int j = 0; j < q; j++) {
        m.retained.push_back(j);
        m.theta[static_cast<size_t>(j)] = static_cast<float>(pw.params[j]);
        m.pure[static_cast<size_t>(j)] = false;
    }
    m.omega_pairs.assign(static_cast<size_t>(q) * q, 0.0f);
    for (int j = 0; j < q; j++) {
        for (int k = j + 1; k < q; k++) {
            const float w = static_cast<float>(pw.params[pairwise_index(q, j, k)]);
            m.omega_pairs[static_cast<size_t>(j * q + k)] = w;
            m.omega_pairs[static_cast<size_t>(k * q + j)] = w;
        }
    }
}

} // namespace

void describe_model_data(const data_description& description, const int* cov_column,
                         fitted_model& model) {
    model.data = description;
    model.outcomes.clear();
    int originals = 0;
    for (const column_description& col : description.columns) {
        if (col.kind == column_outcome) model.outcomes.push_back(col.name);
        if (col.kind != column_outcome && col.kind != column_ignored) originals++;
    }
    model.n_covariates = n_covariates;
    model.cov_column.assign(cov_column, cov_column + n_covariates);
    model.cov_levels.assign(cov_levels, cov_levels + n_covariates);
    model.is_copy.assign(static_cast<size_t>(n_covariates), false);
    model.missing_value.assign(static_cast<size_t>(n_covariates), NAN);
    for (int c = 0; c < n_covariates; c++) {
        const column_description& col = description.columns[static_cast<size_t>(cov_column[c])];
        model.is_copy[static_cast<size_t>(c)] = c >= originals;
        if (col.missing == 0 || !col.observed) continue;
        float value;
        if (cov_levels[c] >= 2)
            value = static_cast<float>(cov_levels[c] - 1); // the missing category
        else if (c < originals)
            value = static_cast<float>(col.smallest - 1.0); // below every observed value
        else
            value = static_cast<float>(col.largest + 1.0); // above, in the copy
        model.missing_value[static_cast<size_t>(c)] = value;
    }
}

void snapshot_grown_tree(const node_table& nodes, int n_nodes, fitted_model& model) {
    const int q = n_outcomes;
    const int P = pair_total_index(q);
    model.nodes.assign(static_cast<size_t>(n_nodes), model_node_entry{});
    for (int t = 0; t < n_nodes; t++) {
        model_node_entry& e = model.nodes[static_cast<size_t>(t)];
        e.number = t;
        e.parent = t == 0 ? -1 : nodes.parent[t];
        e.left = nodes.left_daughter[t];
        e.right = e.left > 0 ? e.left + 1 : 0;
        e.cases = nodes.node_cases[t];
        e.value = nodes.node_value[t];
        const int* stats = nodes.node_stats_table[t];
        for (int j = 0; j < q; j++) {
            e.positives.push_back(stats[j]);
            e.rate.push_back(e.cases > 0 ? static_cast<double>(stats[j]) / e.cases : 0.0);
        }
        e.pair_total = stats[P];
        if (e.left == 0) continue;
        e.has_split = true;
        model_split& s = e.split;
        const int v = nodes.split_covariate[t];
        s.covariate = v;
        s.column = model.cov_column[static_cast<size_t>(v)];
        s.split_value = nodes.split_value[t];
        const int k = model.cov_levels[static_cast<size_t>(v)];
        const bool missing = column_has_missing(model, s.column);
        if (k >= 2) {
            s.nominal = true;
            const unsigned mask =
                static_cast<unsigned>(static_cast<long long>(nodes.split_value[t]));
            for (int j = 0; j < k; j++)
                (((mask >> (j % 32)) & 1u) != 0 ? s.left_categories : s.right_categories)
                    .push_back(j);
            if (missing) s.missing_go = ((mask >> ((k - 1) % 32)) & 1u) != 0 ? "left" : "right";
        } else {
            s.cut = nodes.split_value[t];
            s.missing_copy = model.is_copy[static_cast<size_t>(v)];
            if (missing) s.missing_go = s.missing_copy ? "right" : "left";
        }
    }
}

int fit_node_models(fitted_model& model, const node_table& nodes, fit_workspace& fit) {
    const int q = n_outcomes;
    const int n_nodes = static_cast<int>(model.nodes.size());
    std::vector<real> params(static_cast<size_t>(q) + 1), means(static_cast<size_t>(q) + 1);
    int first_difference = -1;
    for (int t = 0; t < n_nodes; t++) {
        model_node_entry& e = model.nodes[static_cast<size_t>(t)];
        fitted_node_model& m = e.model;
        real normaliser = 0;
        const double value = node_log_likelihood(nodes.node_stats_table[t], e.cases, params.data(),
                                                 means.data(), &normaliser, fit);
        const real stored = static_cast<real>(value);
        const real negated = -stored;
        if (std::memcmp(&negated, &e.value, sizeof negated) != 0 && first_difference < 0)
            first_difference = t;
        m.fitted = fit.fitted == 1;
        m.theta.assign(static_cast<size_t>(q), 0.0f);
        m.pure.assign(static_cast<size_t>(q), true);
        m.retained.clear();
        if (m.fitted && node_model == node_model_pairwise) {
            take_pairwise_fit(fit, q, m);
        } else if (m.fitted) {
            for (int r = 0; r < fit.n_retained; r++) {
                const int j = fit.retained[r];
                m.retained.push_back(j);
                m.theta[static_cast<size_t>(j)] = params[static_cast<size_t>(r)];
                m.pure[static_cast<size_t>(j)] = false;
            }
            m.omega = params[static_cast<size_t>(fit.n_retained)];
            m.normaliser = normaliser;
        } else {
            for (int j = 0; j < q; j++)
                m.pure[static_cast<size_t>(j)] =
                    !(e.rate[static_cast<size_t>(j)] > 0.0 && e.rate[static_cast<size_t>(j)] < 1.0);
        }
        // The node whose model scores this node's cases, as cross-validation
        // chooses it: itself when fitted, else its nearest fitted ancestor.
        m.model_node =
            m.fitted ? t
                     : (t == 0 ? -1 : model.nodes[static_cast<size_t>(e.parent)].model.model_node);
    }
    // Probabilities: an outcome pure in the node has its observed rate; the
    // others come from the scoring model (with none, every pattern is equally
    // likely and each outcome has probability one half).
    for (model_node_entry& e : model.nodes) {
        fitted_node_model& m = e.model;
        m.probability.assign(static_cast<size_t>(q), 0.5);
        if (m.model_node >= 0)
            outcome_probabilities(model.nodes[static_cast<size_t>(m.model_node)].model, q,
                                  m.probability);
        for (int j = 0; j < q; j++) {
            const double rate = e.rate[static_cast<size_t>(j)];
            if (m.pure[static_cast<size_t>(j)]) m.probability[static_cast<size_t>(j)] = rate;
        }
    }
    return first_difference;
}

void add_pruning(fitted_model& model, int n_subtrees, const real* alpha, int** pruned_nodes) {
    model.subtrees.assign(static_cast<size_t>(n_subtrees), model_subtree{});
    for (int k = 0; k < n_subtrees; k++) {
        model_subtree& s = model.subtrees[static_cast<size_t>(k)];
        s.alpha = alpha[k];
        for (int j = 1; j <= pruned_nodes[k][0]; j++) s.pruned.push_back(pruned_nodes[k][j]);
    }
    std::vector<int> terminal_nodes;
    subtree_sizes(model_as_report(model, ""), terminal_nodes);
    for (int k = 0; k < n_subtrees; k++)
        model.subtrees[static_cast<size_t>(k)].terminal = terminal_nodes[static_cast<size_t>(k)];
}

void add_cross_validation(fitted_model& model, int n_folds, int n_repeats, real** rows) {
    model_cross_validation& cv = model.cv;
    cv.folds = n_folds;
    cv.repeats = n_repeats;
    cv.rows.clear();
    for (int r = 0; r < n_repeats; r++)
        cv.rows.emplace_back(rows[r], rows[r] + model.subtrees.size());
    summarize_model_cv(model);
}
