// The split search of one node over its covariates on several threads: the
// growing thread and a few helper threads, each with its own search scratch,
// take covariates in turn; every covariate's result, console text and any stop
// are kept apart, so that the caller can take them in covariate order exactly
// as one thread would have met them.
#pragma once

#include <string>

#include "numeric/real.h"
#include "numeric/stop_capture.h"
#include "tree/grow_state.h"

// The outcome of one covariate's search.
struct covariate_result {
    real value = 0; // the covariate's best, at least the threshold
    real left_value = 0;
    real right_value = 0;
    real split_value = 0;
    int* best_left = nullptr;  // stat_len: statistics of the best candidate
    int* best_right = nullptr; // (written only when value beats the threshold)
    long n_fits = 0;
    std::string console; // what the search printed
    bool stopped = false;
    captured_stop stop; // the stop that ended the search, when stopped
};

// Threads that have run out of work of their own (fold workers with no fold
// left to take) lend themselves to the teams of trees still being grown.
struct helper_pool;
helper_pool* make_helper_pool();
// Helps the teams open in the pool, one after another, with s (sized for the
// largest node any of them searches) until the pool is closed.
void lend_to_pool(helper_pool* pool, search_scratch& s);
// Lent helpers return once their teams have finished; then the pool may be
// released.
void close_helper_pool(helper_pool* pool);
void release_helper_pool(helper_pool* pool);

// Helper threads for the grow_tree call of g, each with scratch for g.n cases;
// with a pool, the team is also open to helpers lent by it.
search_team* start_search_team(grow_state& g, int helpers, helper_pool* pool);
void finish_search_team(search_team* team);
// Whether any thread besides the growing one searches with the team now.
bool team_has_helpers(const search_team* team);

// Smallest node whose covariates are searched side by side; smaller nodes
// cost less to search than to hand out.
inline constexpr int team_min_cases = 256;

// Searches every covariate c of node t with cov_levels[c] > 0 against the
// threshold, on the growing thread and the helpers; returns the team's result
// table (n_covariates entries, valid until the next call).
covariate_result* team_search_node(grow_state& g, int t, real threshold);

// One covariate's search into result, its console text and any stop kept
// there (the calling thread's own buffer and stop handling are restored).
void search_into(const grow_state& g, search_scratch& s, int t, int c, real threshold,
                 covariate_result& result);
