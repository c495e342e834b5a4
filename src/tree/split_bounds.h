// Ruling out candidate splits without fitting them: the per-search state of
// the two bounds of model/node_bounds.h (pattern counts of both sides, the
// tilt references of both sides, how well each bound has been paying), the
// value a candidate must beat, and the test itself.
#pragma once

#include <atomic>

#include "model/node_bounds.h"
#include "numeric/real.h"

struct grow_state;
struct search_scratch;

// Run-wide switch of the tilted bound (on by default). The tilted bound holds
// only for a node model that is the exponential family of the outcomes and
// the pair count; with any other model the driver turns it off, and the
// pattern-frequency bound, which holds for any distribution over the
// patterns, is used alone.
extern bool tilted_split_bounds;

// Whether searches use the tilted bound: switched on, the common node model
// selected (the pairwise model's fit matches every pair's mean, not only the
// mean pair count, so the tilt does not bound it), and at least 3 outcomes.
bool tilted_bound_applies();

// Subtracted, per case, from every bound; 0 in every run. Only a test sets it,
// to show that the checking mode stops on a bound that is too tight.
extern double bound_tightening;

// Checking mode, on in the KORVA_CHECK_BOUNDS build (and set by tests):
// every candidate is fitted all the same, with every bound computed, and the
// run aborts at the first fitted side whose value exceeds its bound plus
// margin; candidates that the bounds rule out are then dropped as without it,
// so the run's results are those of a plain build.
extern bool check_split_bounds;

// How well one bound has been paying in the current search: an exponentially
// weighted share of the tries that ruled a candidate out, and the candidates
// passed over since the last try.
struct bound_yield {
    double rate = 1.0;
    int idle = 0;
};

struct split_bounds {
    int n_patterns = 0;
    double* count_log = nullptr;     // c ln c, c = 0 .. n
    int* left_counts = nullptr;      // pattern counts of the left side
    int* sorted_case = nullptr;      // the node's cases in sorted order
    int** category_counts = nullptr; // pattern counts per category
    int max_categories = 0;
    // Tilt references of the left and right sides: the node's own fit at the
    // start of a search, then the last fitted candidate's side.
    tilt_reference left_ref;
    tilt_reference right_ref;
    // Carried from search to search of the scratch: the tilted bound's yield.
    bound_yield tilt_yield;
    // The best value reached by the other covariates, as value_to_beat uses
    // it, and the candidates judged since it was read.
    real others_best = 0;
    int others_age = 0;
    // The primer: the candidate of the search whose means look best, fitted
    // before the others (its statistics, where it stands in the search's
    // order, and its fitted values when eligible).
    int* primer_left = nullptr;  // stat_len
    int* primer_right = nullptr; // stat_len
    int primer_at = -1;          // -1: no eligible primer
    real primer_value = 0;       // its value, rounded to real
    real primer_left_value = 0;
    real primer_right_value = 0;
    double primer_sum = 0;          // its value as the search compares it
    double primer_right_fitted = 0; // its right value, unrounded
    // The bounds (without margin) of the sides of the last candidate judged.
    double left_bound = 0.0;
    double right_bound = 0.0;
    long candidates = 0;       // admissible candidates met
    long ruled_by_pattern = 0; // ruled out by the pattern-frequency bound
    long ruled_by_tilt = 0;    // ruled out by the tilted bound
};

// Sized for n cases; the growing state's node counts and reference are
// separate (grow_state).
void alloc_split_bounds(split_bounds& b, int n, int max_categories);
void release_split_bounds(split_bounds& b);

// Run-wide totals of the candidates met and ruled out, added by every search.
extern std::atomic<long> split_candidate_count;
extern std::atomic<long> split_ruled_by_pattern_count;
extern std::atomic<long> split_ruled_by_tilt_count;

// Before the covariate searches of node t: its pattern counts, its own fit as
// the tilt reference, and every covariate's best reset to the node's value.
void prepare_node_bounds(grow_state& g, int t);

// Before one covariate search: the left counts cleared, both references set to
// the node's.
void begin_search_bounds(const grow_state& g, search_scratch& s);

// The value a candidate of covariate c must beat to be of any consequence,
// given the covariate's own best so far (see rule_out_candidate). The other
// covariates' bests are read afresh every few candidates; an older reading is
// as valid, only lower.
double value_to_beat(const grow_state& g, search_scratch& s, int c, real own_best);

// Publishes a value covariate c's search has reached (when above what it has
// published before) to the searches of the other covariates.
void publish_covariate_best(const grow_state& g, int c, real best);

// 0 when the candidate with these sides (left pattern counts in
// s.bounds.left_counts, right ones the node's minus those) must be fitted; 1
// or 2 when the pattern-frequency or the tilted bound shows that its value
// cannot exceed beat.
int rule_out_candidate(const grow_state& g, search_scratch& s, const int* left_stats, int n_left,
                       const int* right_stats, int n_right, double beat);

// After the fit of the candidate last judged: in the checking mode, aborts the
// run when a side's fitted value exceeds its bound plus margin; then, when
// move_references is set (a candidate fitted because no bound ruled it out),
// moves each side's tilt reference to the side's fitted parameters where that
// can pay.
void after_candidate_fit(const grow_state& g, search_scratch& s, const int* left_stats, int n_left,
                         const int* right_stats, int n_right, real left_value, double right_value,
                         bool eligible, bool move_references);

// One candidate of covariate c at place `at` of its search, with the
// statistics of both sides: ruled out by the bounds, or fitted (the primer's
// fit is reused). True, with the fitted values and the value as the search
// compares it, for a candidate that is fitted and eligible.
bool evaluate_candidate(const grow_state& g, search_scratch& s, int c, int at,
                        const int* left_stats, int n_left, const int* right_stats, int n_right,
                        real best, real* left_value, real* right_value, double* value);

// The primer of a search. split_score rates a candidate by how far its left
// side's outcome means and mean pair count (sums: S_0 .. S_{q-1}, T over
// n_left of the node's m cases) lie from the node's, in the node's own
// covariance: a candidate that rates high tends to have a high value. The
// rating only chooses which candidate to fit first, never what is chosen.
void prepare_split_score(grow_state& g, int t);
double split_score(const grow_state& g, const int* sums, int n_left, int m);
// Fits the candidate whose left statistics are in s.bounds.primer_left (at:
// its place in the search's order); it becomes the primer when eligible.
void fit_primer(const grow_state& g, search_scratch& s, int t, int c, int n_left, int at);
// The value the primer lets a candidate at the given place be ruled out
// against: the primer's value for a later candidate, the next real below it
// for an earlier one (which wins a tie), -infinity without a primer.
real primer_beat(const split_bounds& b, int at);

// Adds the search's counts to the run-wide totals.
void end_search_bounds(search_scratch& s);
