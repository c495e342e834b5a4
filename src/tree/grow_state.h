// The working state of one grow_tree call: the data being grown on, the caller's
// node table and work storage, the waiting nodes' case lists and sorted rows,
// the case ranks, the fit outputs and the split search's scratch arrays. Each
// call owns its own state, so calls on different tables may run side by side.
#pragma once

#include <atomic>

#include "model/fit_workspace.h"
#include "model/node_bounds.h"
#include "model/node_stats.h"
#include "numeric/real.h"
#include "numeric/run_counts.h"
#include "tree/node_table.h"
#include "tree/split_bounds.h"

// What one thread needs to search covariates of a node: the four statistics
// vectors, its fit work storage and outputs, and the search's private arrays,
// sized once for n cases and the largest category count, so no search
// allocates. The growing thread has one; every split-search helper its own.
struct search_scratch {
    split_workspace* split = nullptr;
    fit_workspace* fit = nullptr;
    // Outputs of every fit; growing keeps none of them.
    real* fit_params = nullptr; // n_outcomes + 1
    real* fit_means = nullptr;  // n_outcomes + 1
    real normaliser = 0;
    // The right-hand fit of each candidate split runs beside the left-hand one
    // in its own storage.
    fit_workspace right_fit;
    real* right_params = nullptr; // n_outcomes + 1
    real* right_means = nullptr;  // n_outcomes + 1
    real right_normaliser = 0;
    double right_fitted = 0; // the right value of the last pair, unrounded
    long n_fits = 0;         // node fits made through this scratch
    // The bounds that rule candidates out without fitting them.
    split_bounds bounds;

    real* sorted_covariate = nullptr; // n
    int* run_bounds = nullptr;        // n + 1
    int max_categories = 0;
    int* category_count = nullptr;  // max_categories
    int** category_stats = nullptr; // max_categories rows of stat_len
    int* category_flag = nullptr;   // max_categories
};

// Allocates the private arrays, the right-hand fit storage and the fit
// outputs of a scratch for n cases (the split and left-hand fit storage are
// the caller's) and releases them.
void alloc_search_scratch(search_scratch& s, int n, split_workspace& split, fit_workspace& fit);
void release_search_scratch(search_scratch& s);

struct search_team;
struct helper_pool;

struct grow_state {
    real** covariates = nullptr; // n_covariates rows, one entry per case
    int** outcomes = nullptr;    // n_outcomes + 1 rows, one entry per case
    int n = 0;                   // cases 0 .. n-1
    int n_nodes = 0;             // nodes in the table so far
    node_table* nodes = nullptr;

    // Per waiting node: its cases in the order of its parent's list, and for
    // every ordered covariate its cases in ascending order of that covariate
    // (posi[t][c] is null for covariates that are not ordered).
    int** cases_in_t = nullptr; // max_nodes entries
    int*** posi = nullptr;      // max_nodes entries
    // case_rank[c][i]: position of case i in row c of the sorted rows of the
    // most recently created node that holds it (ordered covariates only).
    int** case_rank = nullptr; // n_covariates rows of n + 1

    // For the bounds: the pattern index (bit j: outcome j) of every case; the
    // pattern counts and own fit of the node being searched; each covariate's
    // best so far in that search, shared by the searches side by side.
    int* case_pattern = nullptr; // n
    // The node_stats of one case of each pattern (2^q rows of stat_len), kept
    // for q <= 10 (null above): the statistics of a set of cases are the sum
    // of its cases' rows.
    int* pattern_stats = nullptr;
    int* node_counts = nullptr; // 2^q
    tilt_reference node_ref;
    // The Cholesky factor of the node's covariance of (outcomes, pair count)
    // and its means, for split_score; score_dim statistics (q, or q+1 when a
    // pair count can occur).
    double* score_factor = nullptr;  // (q+1) x (q+1)
    double* score_mean = nullptr;    // q+1
    double* score_inverse = nullptr; // q+1: reciprocals of the factor's diagonal
    int score_dim = 0;
    std::atomic<real>* covariate_best = nullptr; // n_covariates

    search_scratch own;       // the growing thread's search storage and fit outputs
    long n_fits = 0;          // node fits made by this call, helpers' included
    int* rank_mark = nullptr; // n, marks of derive_daughter_posi

    // Helper threads that search the covariates of one node side by side;
    // null when the searches run on the growing thread alone.
    search_team* team = nullptr;
};

// Sorted rows for one node of the given row length: one row per ordered
// covariate, null for the others; released with release_sorted_rows.
int** alloc_sorted_rows(int columns);
void release_sorted_rows(int** rows);

// Growing driver steps: grow_tree is start_growth, grow_nodes, finish_growth.
// start_growth sets up the state of one call up to the node loop (root fitted,
// presorted, its case list filled), with `helpers` split-search helper threads
// (0: every search on the calling thread); finish_growth negates the node
// values and releases everything the state holds, helpers included. With a
// pool, idle threads of the pool may also help the searches.
void start_growth(grow_state& g, real** covariates, int** outcomes, int n, node_table& nodes,
                  split_workspace& split, fit_workspace& fit, int helpers = 0,
                  helper_pool* pool = nullptr);
void finish_growth(grow_state& g);
// The node loop: examines nodes in number order until every node has been.
void grow_nodes(grow_state& g);
void fit_root(grow_state& g);
void presort_root(grow_state& g);
void try_split_node(grow_state& g, int t);
bool is_splittable(const grow_state& g, int t);
void apply_split(grow_state& g, int t);
void derive_daughter_posi(grow_state& g, int t, int d);

// Split search. find_best_split returns the best value, at least the node's
// own; a covariate search returns its best, at least the threshold, with the
// winner's fitted values and split value through the out-parameters.
real find_best_split(grow_state& g, int t);
// The covariate searches only read the growing state and write the scratch.
real search_ordered_split(const grow_state& g, search_scratch& s, int t, int c, real threshold,
                          real* left_value, real* right_value, real* split_value);
real search_nominal_split(const grow_state& g, search_scratch& s, int t, int c, int k,
                          real threshold, real* left_value, real* right_value, real* split_value);
// One covariate's search by its kind (cov_levels[c] is 1 or at least 2).
real search_covariate(const grow_state& g, search_scratch& s, int t, int c, real threshold,
                      real* left_value, real* right_value, real* split_value);

// Runs of equal values in sorted values p[0 .. m-1]: returns G and fills b[0 .. G]
// (run g occupies b[g-1] .. b[g]-1). b needs m + 1 entries.
int tie_groups(const real* p, int m, int* b);

// Fits both sides quietly; false when either fit fails (the candidate is then
// not eligible). Otherwise *value is the right node value as fitted plus the
// stored left value, unrounded, and both fitted values are stored rounded to
// real.
bool daughters_value(search_scratch& s, const int* left_stats, int n_left, const int* right_stats,
                     int n_right, real* left_value, real* right_value, double* value);

// Step s (1 .. 2^(k-1)-1) of the nominal search's Gray-code walk: returns the
// category whose membership changes (the trailing zero bits of s) and sets
// *joins to 1 when it joins the left group, 0 when it leaves it. With every
// category present, the steps visit each non-empty subset of 0 .. k-2 once.
int gray_step_category(unsigned s, int* joins);

// Adds the statistics of case id to stats: its pattern's row where the rows
// are kept, else from the outcome matrix (which leaves the pair total to
// complete_pair_total). Either way the same integer sums.
inline void add_case_stats(const grow_state& g, int* stats, int id) {
    if (g.pattern_stats != nullptr) {
        const int* one = g.pattern_stats + static_cast<long>(g.case_pattern[id]) * stat_len;
        for (int e = 0; e < stat_len; e++) stats[e] += one[e];
    } else {
        accumulate_case(stats, g.outcomes, id);
    }
}

// A case's category: its covariate value truncated toward zero.
inline int category_of(real x) {
    return static_cast<int>(x);
}

// Whether a case with covariate value x goes left at a nominal split with the
// given split value: bit (category mod 32) of the mask's integer part.
inline bool category_goes_left(real split_value, real x) {
    unsigned mask = static_cast<unsigned>(static_cast<long long>(split_value));
    int j = category_of(x) % 32;
    if (j < 0) j += 32;
    return ((mask >> j) & 1u) != 0;
}
