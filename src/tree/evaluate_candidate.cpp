// evaluate_candidate: one candidate split of a covariate search, passed over
// when the bounds rule it out against the value it must beat (the
// covariate's own best, the other covariates' and the primer's), otherwise
// fitted, or taken from the primer's fit when it is the primer.
#include "tree/grow_state.h"
#include "tree/split_bounds.h"

bool evaluate_candidate(const grow_state& g, search_scratch& s, int c, int at,
                        const int* left_stats, int n_left, const int* right_stats, int n_right,
                        real best, real* left_value, real* right_value, double* value) {
    split_bounds& b = s.bounds;
    double beat = value_to_beat(g, s, c, best);
    if (at == b.primer_at) {
        if (!check_split_bounds) b.candidates++;
        if (check_split_bounds) {
            rule_out_candidate(g, s, left_stats, n_left, right_stats, n_right, beat);
            after_candidate_fit(g, s, left_stats, n_left, right_stats, n_right, b.primer_left_value,
                                b.primer_right_fitted, true, false);
        }
        *left_value = b.primer_left_value;
        *right_value = b.primer_right_value;
        *value = b.primer_sum;
        return true;
    }
    const real primer = primer_beat(b, at);
    if (primer > beat) beat = primer;
    const int ruled = rule_out_candidate(g, s, left_stats, n_left, right_stats, n_right, beat);
    if (ruled != 0 && !check_split_bounds) return false;
    const bool eligible = daughters_value(s, left_stats, n_left, right_stats, n_right, left_value,
                                          right_value, value);
    after_candidate_fit(g, s, left_stats, n_left, right_stats, n_right, *left_value, s.right_fitted,
                        eligible, ruled == 0);
    return eligible && ruled == 0;
}
