// fit_primer: the split score of a candidate (how far its left side's means
// lie from the node's, in the node's covariance) and the primer of a search,
// the best-rated candidate fitted before all others so that the bounds can
// rule out the others against its value from the start.
#include <cmath>
#include <limits>

#include "model/node_stats.h"
#include "numeric/run_counts.h"
#include "tree/grow_state.h"
#include "tree/split_bounds.h"

void prepare_split_score(grow_state& g, int t) {
    const int q = n_outcomes;
    const int P = pair_total_index(q);
    const int* stats = g.nodes->node_stats_table[t];
    const double n = g.nodes->node_cases[t];
    // With one outcome the pair count is always 0 and is left out.
    const int d = q >= 2 ? q + 1 : q;
    g.score_dim = d;
    double* mean = g.score_mean;
    double* L = g.score_factor;
    for (int j = 0; j < q; j++) mean[j] = stats[j] / n;
    mean[q] = stats[P] / n;
    // E[y_j y_l], E[t y_j] and E[t^2] from the statistics, less the products
    // of the means.
    for (int i = 0; i < d; i++)
        for (int k = 0; k <= i; k++) {
            double second;
            if (i < q)
                second = stats[cross_index(q, k, i)] / n;
            else if (k < q)
                second = stats[P + 1 + k] / n;
            else
                second = stats[P + 1 + q] / n;
            L[i * d + k] = second - mean[i] * mean[k];
        }
    // A ridge keeps the factor defined when an outcome is constant in the
    // node (its means then cannot move either).
    double largest = 0.0;
    for (int i = 0; i < d; i++) largest = std::fmax(largest, L[i * d + i]);
    const double ridge = 1e-9 * largest + 1e-300;
    for (int i = 0; i < d; i++) {
        for (int k = 0; k <= i; k++) {
            double sum = L[i * d + k] + (i == k ? ridge : 0.0);
            for (int r = 0; r < k; r++) sum -= L[i * d + r] * L[k * d + r];
            if (k < i)
                L[i * d + k] = sum / L[k * d + k];
            else
                L[i * d + i] = std::sqrt(sum > ridge ? sum : ridge);
        }
        g.score_inverse[i] = 1.0 / L[i * d + i];
    }
}

double split_score(const grow_state& g, const int* sums, int n_left, int m) {
    const int d = g.score_dim;
    const double* L = g.score_factor;
    double z[17];
    double score = 0.0;
    for (int i = 0; i < d; i++) {
        double sum = static_cast<double>(sums[i]) / n_left - g.score_mean[i];
        for (int k = 0; k < i; k++) sum -= L[i * d + k] * z[k];
        z[i] = sum * g.score_inverse[i];
        score += z[i] * z[i];
    }
    // The left and right deviations are tied (n_left dl + n_right dr = 0), so
    // the two sides' share is n_left m / n_right times the left one's.
    return score * n_left * (static_cast<double>(m) / (m - n_left));
}

void fit_primer(const grow_state& g, search_scratch& s, int t, int c, int n_left, int at) {
    split_bounds& b = s.bounds;
    const int m = g.nodes->node_cases[t];
    const int* whole = g.nodes->node_stats_table[t];
    for (int e = 0; e < stat_len; e++) b.primer_right[e] = whole[e] - b.primer_left[e];
    real lv = 0;
    real rv = 0;
    double v = 0;
    b.primer_at = -1;
    if (!daughters_value(s, b.primer_left, n_left, b.primer_right, m - n_left, &lv, &rv, &v))
        return;
    b.primer_at = at;
    b.primer_left_value = lv;
    b.primer_right_value = rv;
    b.primer_sum = v;
    b.primer_right_fitted = s.right_fitted;
    b.primer_value = static_cast<real>(v);
    // A value this covariate has reached, for the other covariates too.
    if (b.primer_value > g.covariate_best[c].load(std::memory_order_relaxed))
        publish_covariate_best(g, c, b.primer_value);
}

real primer_beat(const split_bounds& b, int at) {
    const real none = -std::numeric_limits<real>::infinity();
    if (b.primer_at < 0) return none;
    return at > b.primer_at ? b.primer_value : std::nextafter(b.primer_value, none);
}
