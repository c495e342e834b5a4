// split_bounds: the bounds' storage of a search scratch, the node's pattern
// counts, own fit and shared covariate bests set before its searches, each
// search's start and end, and the value a candidate must beat.
#include "tree/split_bounds.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "model/node_fit.h"
#include "model/node_model.h"
#include "numeric/arrays.h"
#include "numeric/fatal_error.h"
#include "numeric/run_counts.h"
#include "tree/grow_state.h"

bool tilted_split_bounds = true;

bool tilted_bound_applies() {
    return tilted_split_bounds && node_model == node_model_common && n_outcomes >= 3;
}
#ifdef KORVA_CHECK_BOUNDS
bool check_split_bounds = true;
#else
bool check_split_bounds = false;
#endif
double bound_tightening = 0.0;

std::atomic<long> split_candidate_count{0};
std::atomic<long> split_ruled_by_pattern_count{0};
std::atomic<long> split_ruled_by_tilt_count{0};

void alloc_split_bounds(split_bounds& b, int n, int max_categories) {
    b.n_patterns = 1 << n_outcomes;
    b.count_log = static_cast<double*>(std::malloc(sizeof(double) * (static_cast<size_t>(n) + 1)));
    if (b.count_log == nullptr) fatal_error("allocation failure in dvector()");
    fill_count_log_table(b.count_log, n);
    b.left_counts = ivector(b.n_patterns);
    b.sorted_case = ivector(n);
    b.max_categories = max_categories > 0 ? max_categories : 1;
    b.category_counts = imatrix(b.max_categories, b.n_patterns);
    b.primer_left = ivector(stat_len);
    b.primer_right = ivector(stat_len);
    alloc_tilt_reference(b.left_ref, n_outcomes);
    alloc_tilt_reference(b.right_ref, n_outcomes);
}

void release_split_bounds(split_bounds& b) {
    if (b.count_log == nullptr) return;
    release_tilt_reference(b.right_ref);
    release_tilt_reference(b.left_ref);
    release_vector(b.primer_right);
    release_vector(b.primer_left);
    release_matrix(b.category_counts, b.max_categories);
    release_vector(b.sorted_case);
    release_vector(b.left_counts);
    std::free(b.count_log);
    b = split_bounds{};
}

void prepare_node_bounds(grow_state& g, int t) {
    const node_table& nodes = *g.nodes;
    const int m = nodes.node_cases[t];
    const int* cases = g.cases_in_t[t];
    for (int p = 0; p < (1 << n_outcomes); p++) g.node_counts[p] = 0;
    for (int i = 0; i < m; i++) g.node_counts[g.case_pattern[cases[i]]]++;
    for (int c = 0; c < n_covariates; c++)
        g.covariate_best[c].store(nodes.node_value[t], std::memory_order_relaxed);

    prepare_split_score(g, t);

    // The node's own fit, as the first reference of the tilted bound. Quiet:
    // it only guides the bounds (and gives the value the node already has).
    g.node_ref.valid = 0;
    if (!tilted_bound_applies()) return;
    search_scratch& s = g.own;
    const node_fit_call fit = {
        nodes.node_stats_table[t], m, s.fit_params, s.fit_means, &s.normaliser, s.fit};
    double value = 0.0;
    g.n_fits++;
    if (quiet_log_likelihood(fit, &value) && s.fit->fitted != 0 && s.fit->n_retained == n_outcomes)
        set_tilt_reference(g.node_ref, s.fit_params);
}

void begin_search_bounds(const grow_state& g, search_scratch& s) {
    split_bounds& b = s.bounds;
    for (int p = 0; p < b.n_patterns; p++) b.left_counts[p] = 0;
    copy_tilt_reference(b.left_ref, g.node_ref);
    copy_tilt_reference(b.right_ref, g.node_ref);
    b.others_age = 0;
    b.primer_at = -1;
}

void end_search_bounds(search_scratch& s) {
    split_bounds& b = s.bounds;
    split_candidate_count += b.candidates;
    split_ruled_by_pattern_count += b.ruled_by_pattern;
    split_ruled_by_tilt_count += b.ruled_by_tilt;
    b.candidates = 0;
    b.ruled_by_pattern = 0;
    b.ruled_by_tilt = 0;
}

double value_to_beat(const grow_state& g, search_scratch& s, int c, real own_best) {
    split_bounds& b = s.bounds;
    if (b.others_age-- <= 0) {
        // A value reached by a later covariate only rules out what falls
        // strictly below it even after rounding to real: a tie goes to the
        // earlier covariate, which must keep its tying candidates.
        b.others_age = 16;
        real reached_best = -std::numeric_limits<real>::infinity();
        for (int k = 0; k < n_covariates; k++) {
            if (k == c || cov_levels[k] <= 0) continue;
            real reached = g.covariate_best[k].load(std::memory_order_relaxed);
            if (k > c) reached = std::nextafter(reached, -std::numeric_limits<real>::infinity());
            if (reached > reached_best) reached_best = reached;
        }
        b.others_best = reached_best;
    }
    return own_best > b.others_best ? own_best : b.others_best;
}

void publish_covariate_best(const grow_state& g, int c, real best) {
    // Only covariate c's search writes its entry, so the largest value it
    // has reached can be kept without a compare-and-swap.
    if (best > g.covariate_best[c].load(std::memory_order_relaxed))
        g.covariate_best[c].store(best, std::memory_order_relaxed);
}
