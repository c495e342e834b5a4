// search_team: helper threads that search the covariates of one node side by
// side with the growing thread. Covariates are handed out by an atomic counter;
// a node's job is posted under the team's lock and the growing thread waits
// until every covariate of it is done.
#include "tree/search_team.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "model/fit_workspace.h"
#include "numeric/arrays.h"
#include "numeric/console.h"
#include "numeric/run_counts.h"
#include "tree/node_table.h"

struct helper_pool {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<search_team*> teams; // teams open for lent helpers
    bool closed = false;
};

struct search_team {
    std::vector<std::thread> threads;
    std::vector<search_scratch> scratch; // one per helper
    std::vector<split_workspace> splits;
    std::vector<fit_workspace> fits;
    std::vector<covariate_result> results; // n_covariates

    std::mutex lock;
    std::condition_variable posted;
    std::condition_variable finished;
    long generation = 0; // jobs posted so far
    bool quit = false;
    int remaining = 0; // covariates of the current job not yet done

    // Threads lent by a helper pool, searching with the team until it quits.
    std::atomic<int> lent{0};
    helper_pool* pool = nullptr;

    // The current job, written before next_covariate is reset.
    const grow_state* g = nullptr;
    int t = 0;
    real threshold = 0;
    std::atomic<int> next_covariate{0};
};

namespace {

// Takes covariates of the current job until none is left.
void take_covariates(search_team* team, search_scratch& s) {
    for (;;) {
        const int c = team->next_covariate.fetch_add(1);
        if (c >= n_covariates) return;
        if (cov_levels[c] > 0)
            search_into(*team->g, s, team->t, c, team->threshold,
                        team->results[static_cast<size_t>(c)]);
        std::lock_guard<std::mutex> hold(team->lock);
        if (--team->remaining == 0) team->finished.notify_one();
    }
}

// Searches the team's jobs with s until the team quits.
void help_team(search_team* team, search_scratch& s) {
    long seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> hold(team->lock);
            team->posted.wait(hold, [&] { return team->quit || team->generation != seen; });
            if (team->quit) return;
            seen = team->generation;
        }
        take_covariates(team, s);
    }
}

void helper_loop(search_team* team, int index) {
    help_team(team, team->scratch[static_cast<size_t>(index)]);
}

} // namespace

helper_pool* make_helper_pool() {
    return new helper_pool;
}

void close_helper_pool(helper_pool* pool) {
    {
        std::lock_guard<std::mutex> hold(pool->lock);
        pool->closed = true;
    }
    pool->changed.notify_all();
}

void release_helper_pool(helper_pool* pool) {
    delete pool;
}

void lend_to_pool(helper_pool* pool, search_scratch& s) {
    for (;;) {
        search_team* team = nullptr;
        {
            std::unique_lock<std::mutex> hold(pool->lock);
            pool->changed.wait(hold, [&] { return pool->closed || !pool->teams.empty(); });
            if (pool->closed) return;
            // The open team with the fewest lent helpers.
            for (search_team* open : pool->teams)
                if (team == nullptr || open->lent.load() < team->lent.load()) team = open;
            // Counted under the pool's lock: once finish_search_team has
            // taken the team off the list, no helper can still be on its way.
            team->lent++;
        }
        help_team(team, s);
        // Notified under the lock: once it is released the team may be gone.
        std::lock_guard<std::mutex> hold(team->lock);
        team->lent--;
        team->finished.notify_all();
    }
}

void search_into(const grow_state& g, search_scratch& s, int t, int c, real threshold,
                 covariate_result& result) {
    std::string* previous_buffer = console_buffer_now();
    const bool previous_capture = stops_captured();
    result.console.clear();
    result.stopped = false;
    set_console_buffer(&result.console);
    capture_stops(true);
    const long fits_before = s.n_fits;
    try {
        result.value = search_covariate(g, s, t, c, threshold, &result.left_value,
                                        &result.right_value, &result.split_value);
        if (result.value > threshold) {
            for (int e = 0; e < stat_len; e++) {
                result.best_left[e] = s.split->best_left_stats[e];
                result.best_right[e] = s.split->best_right_stats[e];
            }
        }
    } catch (captured_stop& stop) {
        result.stopped = true;
        result.stop = stop;
        result.value = threshold;
    }
    result.n_fits = s.n_fits - fits_before;
    capture_stops(previous_capture);
    set_console_buffer(previous_buffer);
}

search_team* start_search_team(grow_state& g, int helpers, helper_pool* pool) {
    search_team* team = new search_team;
    team->results.resize(static_cast<size_t>(n_covariates));
    for (covariate_result& r : team->results) {
        r.best_left = ivector(stat_len);
        r.best_right = ivector(stat_len);
    }
    team->scratch.resize(static_cast<size_t>(helpers));
    team->splits.resize(static_cast<size_t>(helpers));
    team->fits.resize(static_cast<size_t>(helpers));
    for (size_t h = 0; h < static_cast<size_t>(helpers); h++) {
        alloc_split_workspace(team->splits[h]);
        alloc_fit_workspace(team->fits[h], n_outcomes);
        alloc_search_scratch(team->scratch[h], g.n, team->splits[h], team->fits[h]);
    }
    for (int h = 0; h < helpers; h++) team->threads.emplace_back(helper_loop, team, h);
    if (pool != nullptr) {
        team->pool = pool;
        {
            std::lock_guard<std::mutex> hold(pool->lock);
            pool->teams.push_back(team);
        }
        pool->changed.notify_all();
    }
    return team;
}

void finish_search_team(search_team* team) {
    if (team->pool != nullptr) {
        // No helper joins from now on.
        std::lock_guard<std::mutex> hold(team->pool->lock);
        auto open = std::find(team->pool->teams.begin(), team->pool->teams.end(), team);
        if (open != team->pool->teams.end()) team->pool->teams.erase(open);
    }
    {
        std::lock_guard<std::mutex> hold(team->lock);
        team->quit = true;
    }
    team->posted.notify_all();
    for (std::thread& th : team->threads) th.join();
    {
        std::unique_lock<std::mutex> hold(team->lock);
        team->finished.wait(hold, [&] { return team->lent.load() == 0; });
    }
    for (size_t h = 0; h < team->scratch.size(); h++) {
        release_search_scratch(team->scratch[h]);
        release_fit_workspace(team->fits[h]);
        release_split_workspace(team->splits[h]);
    }
    for (covariate_result& r : team->results) {
        release_vector(r.best_left);
        release_vector(r.best_right);
    }
    delete team;
}

bool team_has_helpers(const search_team* team) {
    return !team->threads.empty() || team->lent.load() > 0;
}

covariate_result* team_search_node(grow_state& g, int t, real threshold) {
    search_team* team = g.team;
    {
        std::lock_guard<std::mutex> hold(team->lock);
        team->g = &g;
        team->t = t;
        team->threshold = threshold;
        team->remaining = n_covariates;
        team->next_covariate.store(0);
        team->generation++;
    }
    team->posted.notify_all();
    take_covariates(team, g.own);
    std::unique_lock<std::mutex> hold(team->lock);
    team->finished.wait(hold, [&] { return team->remaining == 0; });
    return team->results.data();
}
