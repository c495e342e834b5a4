// The negated log-likelihood of the held-out cases of the current pruned fold
// tree, node by node, each node's cases under its fitted model; its addition
// into a score slot; and the choice of the model each node is scored with.
#include <cmath>
#include <vector>

#include "cv/cv_settings.h"
#include "cv/fold_steps.h"
#include "model/node_stats.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"

void assign_model_nodes(int n_nodes, const int* parent, const int* fitted, int* model_node) {
    // A parent has a smaller number than its daughters, so its entry is ready.
    for (int t = 0; t < n_nodes; t++) {
        if (fitted[t] == 1)
            model_node[t] = t;
        else
            model_node[t] = t == 0 ? -1 : model_node[parent[t]];
    }
}

void held_out_stats(int** test_outcomes, const int* test_node, int c, int n_nodes,
                    int** stats_table, int* held_out) {
    for (int t = 0; t < n_nodes; t++) {
        for (int k = 0; k < stat_len; k++) stats_table[t][k] = 0;
        held_out[t] = 0;
    }
    for (int i = 0; i < c; i++) {
        int t = test_node[i];
        if (t < 0 || t >= n_nodes) fatal_error("node # out of range");
        accumulate_case(stats_table[t], test_outcomes, i);
        held_out[t]++;
    }
}

int score_terms(int** test_outcomes, const int* test_node, int c, double* terms, int n_nodes,
                real** node_params, const real* node_A, const int* n_retained, int** retained,
                const int* model_node, int** stats_table, int* held_out) {
    const int q = n_outcomes;
    const int pair_total = pair_total_index(q);
    held_out_stats(test_outcomes, test_node, c, n_nodes, stats_table, held_out);
    // A node with a single held-out case adds nothing unless the run asks for
    // every case to count.
    const int fewest = score_single_held_out ? 1 : 2;
    int n_terms = 0;
    for (int t = 0; t < n_nodes; t++) {
        if (held_out[t] < fewest) continue;
        int* stats = stats_table[t];
        complete_pair_total(stats);
        const int u = model_node[t];
        double score;
        if (u < 0) {
            // No fitted model on the path to the root: every pattern equally
            // likely, zero parameters and A = 2^q.
            score = held_out[t] * std::log(std::ldexp(1.0, q));
        } else {
            const real* params = node_params[u];
            const int m = n_retained[u];
            const int* kept = retained[u];
            score = held_out[t] * std::log(static_cast<double>(node_A[u]));
            for (int r = 0; r < m; r++)
                score -= static_cast<double>(params[r]) * static_cast<double>(stats[kept[r]]);
            // The association parameter counts the pairs among the outcomes the
            // fit kept; with all of them kept that is the pair total itself.
            long long pairs = 0;
            if (m == q) {
                pairs = stats[pair_total];
            } else {
                for (int a = 0; a < m; a++)
                    for (int b = a + 1; b < m; b++)
                        pairs += stats[cross_index(q, kept[a], kept[b])];
            }
            score -= static_cast<double>(params[m]) * static_cast<double>(pairs);
        }
        terms[n_terms++] = score;
    }
    return n_terms;
}

void add_score_terms(const double* terms, int n_terms, real* score_slot) {
    for (int k = 0; k < n_terms; k++)
        *score_slot = static_cast<real>(static_cast<double>(*score_slot) + terms[k]);
}

void test_score(int** test_outcomes, const int* test_node, int c, real* score_slot, int n_nodes,
                real** node_params, const real* node_A, const int* n_retained, int** retained,
                const int* model_node, int** stats_table, int* held_out) {
    std::vector<double> terms(static_cast<size_t>(n_nodes > 0 ? n_nodes : 1));
    const int n_terms =
        score_terms(test_outcomes, test_node, c, terms.data(), n_nodes, node_params, node_A,
                    n_retained, retained, model_node, stats_table, held_out);
    add_score_terms(terms.data(), n_terms, score_slot);
}
