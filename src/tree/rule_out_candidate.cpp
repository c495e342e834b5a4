// rule_out_candidate: whether a candidate split can be passed over without
// fitting it, from bounds on both sides' node values, each with a margin for
// the rounding of a fitted value, held against the value it must beat; and
// after_candidate_fit, which checks those bounds against the fits made (in the
// checking mode) and moves the tilt references along.
//
// Why a candidate passed over cannot have been chosen.
//
// 1. The bounds. For a side of n cases with outcome means ybar_k and pattern
//    frequencies f, and any parameters x of the model, the exact mean
//    log-likelihood L(x) = sum_k x_k ybar_k - ln A(x) (A summed over the 2^q
//    pattern indices as the fit sums it) is at most sum_p f_p ln f_p
//    (Gibbs' inequality; with removed outcomes A weighs each retained pattern
//    2^(q-m) times, which only lowers L), and at most sum_p g_p ln g_p for any
//    distribution g with the cases' outcome means and mean pair count (the
//    largest L is minus the largest entropy under those moments). See
//    model/node_bounds.h. So n L(x) <= b, b either bound.
//
// 2. The margin. The fit does not return n L(x) at its final parameters x but
//    a value rounded along the way: the means ybar_k are stored as reals
//    (each off by at most ybar_k 2^-24), A is a real sum of 2^q rounded
//    exponentials (relative error at most about 2^q 2^-24, so ln A is off by
//    about that much), the objective is rounded to real (2^-24 relative) and
//    the left value is rounded to real once more (2^-24 relative). With
//    |x_k| <= 32 wherever ybar_k > 0 and no exponent capped at 50 at x, the
//    fitted value V of a side satisfies
//        V <= n L(x) + 2^-24 (32 sum_k n ybar_k + n 1.01 2^q + 2 |V|) + (double
//             rounding, far below 2^-40 n),
//    and for V >= b (the only case that matters) |V| <= |b|. bound_margin
//    takes twice each term: 2^-23 (32 M + n (2^q + 2)) + 2^-22 |b|, with M
//    the sum of the side's outcome counts and pair total (n times the means
//    the fit uses, or more where outcomes are removed). The bounds
//    themselves are evaluated in double, far more closely than that.
//    Under the pairwise model only the pattern-frequency bound is used (its
//    fit matches every pair's mean, so the tilt's moments do not bound it);
//    that fit works in double from the integer statistics, so its value is off
//    from n L(x) (L of the fit's own distribution, Gibbs' inequality again)
//    by little more than the final rounding to real, which 2^-22 |b| covers.
//    The assumptions on x cannot be checked before a fit that is not made;
//    the checking mode (KORVA_CHECK_BOUNDS) fits every candidate and stops at
//    the first side whose value exceeds its bound plus margin.
//
// 3. The value to beat. A candidate's value v (right value plus stored left
//    value, as the search compares it) is then at most U = b_left + margin +
//    b_right + margin, and the candidate is passed over when U <= B for a value
//    B of the kind below. Order the node's candidates by covariate, then by
//    place in the covariate's search. Within a search the running best is
//    always the largest of the threshold and the rounded values of the
//    candidates met, and a candidate is taken exactly when its value exceeds
//    the running best; so a covariate whose result is F chooses the last
//    candidate taken: the first whose value rounds to F, or a later one whose
//    value exceeds F. The node takes the lowest covariate with the largest
//    result F*. Let B be the rounded value of an eligible candidate j that has
//    been fitted (B <= F*), and pass over candidates i with v_i <= B when j
//    comes before i, or with v_i at most the next real below B when j comes
//    after i:
//    - B < F*: nothing passed over rounds to F* or exceeds it, so every
//      covariate whose result is F* keeps it and its chosen candidate (its
//      running best stays below F* until its first F*-candidate), and the others
//      stay below F*.
//    - B = F*: j's covariate reaches F*. Before j nothing that rounds to F* is
//      passed over, so the covariates before j's keep their results and chosen
//      candidates; in j's covariate, j and the candidates before it that round
//      to F* stay, and after j only values above F* can be taken, and those
//      stay. Later covariates cannot take the node from j's.
//    With several such values at once the same holds, j being the first
//    candidate whose value rounds to F*. So the node's covariate, candidate and
//    stored values are those of the search without passing over, whatever the
//    order in which the values become known (threads included). value_to_beat
//    and primer_beat supply such values: the covariate's own running best, the
//    bests other covariates have reached (lowered to the next real below for
//    later covariates, which lose ties), and the primer's value (lowered for
//    the candidates before it). Candidates whose fit fails are not eligible and
//    are dropped either way.
#include <cstdio>
#include <cstdlib>

#include "model/node_bounds.h"
#include "model/node_stats.h"
#include "numeric/run_counts.h"
#include "tree/grow_state.h"
#include "tree/split_bounds.h"

namespace {

// Largest |x_k| assumed of a fitted parameter whose mean is not 0.
constexpr double parameter_limit = 32.0;

// The tilted bound costs a noticeable part of a fit: it is tried while it
// rules out at least one in tilt_pays of the candidates the pattern bound
// leaves (a share weighted towards the recent tries, carried from search to
// search), and otherwise on every tilt_probe-th such candidate only.
constexpr double tilt_pays = 1.0 / 8;
constexpr int tilt_probe = 4;

double bound_margin(int n, const int* stats, double bound) {
    const int q = n_outcomes;
    double mass = stats[pair_total_index(q)];
    for (int j = 0; j < q; j++) mass += stats[j];
    const double patterns = static_cast<double>(1L << q);
    return 0x1p-23 * (parameter_limit * mass + n * (patterns + 2.0)) +
           0x1p-22 * (bound < 0 ? -bound : bound);
}

bool worth_trying(bound_yield& y) {
    if (check_split_bounds || y.rate >= tilt_pays) return true;
    if (++y.idle < tilt_probe) return false;
    y.idle = 0;
    return true;
}

void record_try(bound_yield& y, bool ruled_out) {
    y.rate += ((ruled_out ? 1.0 : 0.0) - y.rate) / 32.0;
}

[[noreturn]] void bound_check_failed(const char* side, int n, double value, double bound,
                                     double margin) {
    std::fprintf(stderr,
                 "bound check: the %s side of %d cases was fitted at %.9g, above its bound "
                 "%.9g plus margin %.9g\n",
                 side, n, value, bound, margin);
    std::fflush(stderr);
    std::abort();
}

} // namespace

int rule_out_candidate(const grow_state& g, search_scratch& s, const int* left_stats, int n_left,
                       const int* right_stats, int n_right, double beat) {
    split_bounds& b = s.bounds;
    b.candidates++;
    double left = pattern_frequency_bound(b.left_counts, b.n_patterns, n_left, b.count_log) -
                  bound_tightening * n_left;
    double right = pattern_frequency_bound_rest(g.node_counts, b.left_counts, b.n_patterns, n_right,
                                                b.count_log) -
                   bound_tightening * n_right;
    double left_upper = left + bound_margin(n_left, left_stats, left);
    double right_upper = right + bound_margin(n_right, right_stats, right);
    int verdict = left_upper + right_upper <= beat ? 1 : 0;
    if ((verdict == 0 || check_split_bounds) && b.left_ref.valid + b.right_ref.valid > 0 &&
        worth_trying(b.tilt_yield)) {
        // The left side first: its tilted bound alone may decide.
        const double tl = tilted_bound(b.left_ref, left_stats, n_left, b.left_counts, nullptr) -
                          bound_tightening * n_left;
        if (tl < left) {
            left = tl;
            left_upper = left + bound_margin(n_left, left_stats, left);
        }
        if (left_upper + right_upper > beat || check_split_bounds) {
            const double tr =
                tilted_bound(b.right_ref, right_stats, n_right, g.node_counts, b.left_counts) -
                bound_tightening * n_right;
            if (tr < right) {
                right = tr;
                right_upper = right + bound_margin(n_right, right_stats, right);
            }
        }
        const bool ruled = left_upper + right_upper <= beat;
        if (verdict == 0) {
            record_try(b.tilt_yield, ruled);
            if (ruled) verdict = 2;
        }
    }
    b.left_bound = left;
    b.right_bound = right;
    if (verdict == 1) b.ruled_by_pattern++;
    if (verdict == 2) b.ruled_by_tilt++;
    return verdict;
}

void after_candidate_fit(const grow_state& g, search_scratch& s, const int* left_stats, int n_left,
                         const int* right_stats, int n_right, real left_value, double right_value,
                         bool eligible, bool move_references) {
    (void)g;
    split_bounds& b = s.bounds;
    if (!eligible) return;
    if (check_split_bounds) {
        const double ml = bound_margin(n_left, left_stats, b.left_bound);
        if (left_value > b.left_bound + ml)
            bound_check_failed("left", n_left, left_value, b.left_bound, ml);
        const double mr = bound_margin(n_right, right_stats, b.right_bound);
        if (right_value > b.right_bound + mr)
            bound_check_failed("right", n_right, right_value, b.right_bound, mr);
    }
    // The sides just fitted are the nearest references for the next
    // candidates, while the tilted bound pays.
    if (!move_references || b.tilt_yield.rate < tilt_pays || !tilted_bound_applies()) return;
    if (s.fit->fitted != 0 && s.fit->n_retained == n_outcomes)
        set_tilt_reference(b.left_ref, s.fit_params);
    if (s.right_fit.fitted != 0 && s.right_fit.n_retained == n_outcomes)
        set_tilt_reference(b.right_ref, s.right_params);
}
