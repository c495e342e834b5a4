// parallel_repetitions: the folds of all repetitions taken in order by a small
// fixed pool of worker threads; the calling thread reports them in order.
//
// A fold's console text is kept in its job and printed once every fold before
// it has been printed. A stop inside a fold (fatal_error, input_error,
// silent_exit) is captured by the worker and performed by the calling thread
// when it reaches that fold: after the fold's text, with the same standard
// error text and exit status, once the workers have finished and released
// their storage.
#include "driver/parallel_repetitions.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cv/cross_validate.h"
#include "cv/cv_settings.h"
#include "cv/evaluate_fold.h"
#include "cv/fold_copies.h"
#include "model/fit_workspace.h"
#include "numeric/arrays.h"
#include "numeric/console.h"
#include "numeric/fatal_error.h"
#include "numeric/progress_counts.h"
#include "numeric/run_counts.h"
#include "numeric/stop_capture.h"
#include "numeric/thread_count.h"
#include "tree/grow_state.h"
#include "tree/node_table.h"
#include "tree/search_team.h"

namespace {

// One fold of one repetition, as a worker leaves it for the calling thread.
struct fold_job {
    std::string console;
    fold_scores scores;
    bool done = false;
    bool stopped = false;
    captured_stop stop;
};

// What the workers and the calling thread share, guarded by lock. Folds are
// numbered j = r * n_folds + f over all repetitions, in 64 bits: folds times
// repetitions can exceed an int. Only a window of folds is under way at a
// time, so the jobs and the permutations kept do not grow with the number of
// repetitions.
struct fold_board {
    std::mutex lock;
    std::condition_variable changed;
    int n_folds = 0;
    int fold_size = 0;
    long long total = 0;    // folds of all repetitions
    long long next = 0;     // the next fold to take
    long long reported = 0; // folds the calling thread is done with
    int window = 0;         // a worker runs at most this far ahead of the reports
    bool abort = false;
    int helpers = 0; // split-search helpers of every fold's tree
    // Workers with no fold left to take lend themselves to the split searches
    // of the folds still running.
    helper_pool* pool = nullptr;
    std::vector<fold_job> jobs; // fold j in slot j % window
    // Drawn folds: the permutations of repetitions first_order .. drawn-1, in
    // order; the calling thread draws them as the window moves on and releases
    // them once their folds are reported.
    std::deque<int*> orders;
    long long first_order = 0;
    long long drawn = 0;
};

fold_job& job_of(fold_board* board, long long j) {
    return board->jobs[static_cast<size_t>(j % board->window)];
}

// Takes the next fold, or returns -1 when there is none to take; order
// receives its repetition's permutation (drawn folds), read under the lock.
long long take_fold(fold_board* board, int*& order) {
    std::unique_lock<std::mutex> hold(board->lock);
    board->changed.wait(hold, [&] {
        return board->abort || board->next >= board->total ||
               (board->next < board->reported + board->window &&
                (given_folds != nullptr || board->next / board->n_folds < board->drawn));
    });
    if (board->abort || board->next >= board->total) return -1;
    const long long r = board->next / board->n_folds;
    order = given_folds != nullptr ? nullptr
                                   : board->orders[static_cast<size_t>(r - board->first_order)];
    return board->next++;
}

void fold_worker(fold_board* board) {
    node_table nodes;
    alloc_node_table(nodes);
    split_workspace split;
    alloc_split_workspace(split);
    fit_workspace fit;
    alloc_fit_workspace(fit, n_outcomes);
    fold_copies copies;
    alloc_fold_copies(copies);
    capture_stops(true);

    const int n = n_subjects;
    const int c = board->fold_size;
    int* order = nullptr;
    for (long long j = take_fold(board, order); j >= 0; j = take_fold(board, order)) {
        fold_job& job = job_of(board, j);
        const int f = static_cast<int>(j % board->n_folds);
        const long long r = j / board->n_folds;
        set_console_buffer(&job.console);
        try {
            int held = c;
            if (given_folds != nullptr) {
                held = fill_given_fold(covariate_matrix, outcome_matrix, n,
                                       given_folds[static_cast<size_t>(r)], f, copies);
            } else {
                fill_fold(covariate_matrix, outcome_matrix, n, order, c, f, copies);
            }
            evaluate_fold_terms(copies.train_covariates, copies.train_outcomes, n - held,
                                job.scores, copies.test_covariates, copies.test_outcomes, held,
                                nodes, split, fit, board->helpers, board->pool);
            console_printf("%d of %d-fold CVs finished\n", f + 1, board->n_folds);
            folds_finished++;
        } catch (captured_stop& stop) {
            job.stopped = true;
            job.stop = stop;
        }
        set_console_buffer(nullptr);
        {
            std::lock_guard<std::mutex> hold(board->lock);
            job.done = true;
            // Folds are taken in order, so every fold before this one is taken
            // already; none after it is needed.
            if (job.stopped) board->abort = true;
        }
        board->changed.notify_all();
    }

    // Nothing left to take: help the trees of the folds still running, with
    // scratch for the largest training part. A run on one thread makes no
    // such allocation, so its failure only means that this worker stays idle.
    search_scratch scratch;
    try {
        alloc_search_scratch(scratch, n, split, fit);
        lend_to_pool(board->pool, scratch);
    } catch (captured_stop&) {
    }
    release_search_scratch(scratch);

    capture_stops(false);
    release_fold_copies(copies);
    release_fit_workspace(fit);
    release_split_workspace(split);
    release_node_table(nodes);
}

void stop_workers(fold_board& board, std::vector<std::thread>& workers) {
    {
        std::lock_guard<std::mutex> hold(board.lock);
        board.abort = true;
    }
    board.changed.notify_all();
    close_helper_pool(board.pool);
    for (std::thread& w : workers) w.join();
    workers.clear();
    release_helper_pool(board.pool);
    board.pool = nullptr;
}

// Draws the permutations of the repetitions up to (not including) `upto`, in
// repetition order, so that the random stream is the one-thread run's.
void draw_orders(fold_board& board, int* cv_seed, long long upto) {
    while (board.drawn < upto) {
        int* order = random_permutation(cv_seed, n_subjects);
        {
            std::lock_guard<std::mutex> hold(board.lock);
            board.orders.push_back(order);
            board.drawn++;
        }
        board.changed.notify_all();
    }
}

// Releases the permutations of repetitions before `before` (all reported).
void release_orders(fold_board& board, long long before) {
    std::lock_guard<std::mutex> hold(board.lock);
    while (board.first_order < before && !board.orders.empty()) {
        release_vector(board.orders.front());
        board.orders.pop_front();
        board.first_order++;
    }
}

} // namespace

void parallel_repetitions(int n_folds, int n_repeats, int* cv_seed, std::FILE* report,
                          real** kept_rows) {
    fold_board board;
    board.n_folds = n_folds;
    board.fold_size = n_subjects / n_folds;
    board.total = static_cast<long long>(n_folds) * n_repeats;

    const int n_workers = n_threads < board.total ? n_threads : static_cast<int>(board.total);
    board.window = 4 * n_workers;
    board.jobs.resize(static_cast<size_t>(board.window));
    for (fold_job& job : board.jobs) job.done = false;
    // Fewer folds than threads: the spare threads search the covariates of the
    // fold trees' nodes.
    board.helpers = (n_threads - n_workers) / n_workers;
    board.pool = make_helper_pool();
    // The permutations the first window of folds needs (given folds draw none).
    const long long ahead = board.window / n_folds + 1;
    if (given_folds == nullptr) draw_orders(board, cv_seed, std::min<long long>(n_repeats, ahead));
    std::vector<std::thread> workers;
    for (int w = 0; w < n_workers; w++) workers.emplace_back(fold_worker, &board);

    real* cv_scores = nullptr;
    for (long long j = 0; j < board.total; j++) {
        const long long r = j / n_folds;
        const int f = static_cast<int>(j % n_folds);
        if (f == 0) {
            console_printf("round %lld\n", r + 1);
            console_printf("========\n");
            cv_scores = dvector(n_subtrees);
            for (int i = 0; i < n_subtrees; i++) cv_scores[i] = 0;
            // Keep the permutations the window will reach drawn ahead.
            if (given_folds == nullptr)
                draw_orders(board, cv_seed, std::min<long long>(n_repeats, r + ahead + 1));
        }
        fold_job& job = job_of(&board, j);
        {
            std::unique_lock<std::mutex> hold(board.lock);
            board.changed.wait(hold, [&] { return job.done; });
        }
        console_write(job.console);
        if (job.stopped) {
            const captured_stop stop = job.stop;
            stop_workers(board, workers);
            release_orders(board, board.drawn);
            release_vector(cv_scores);
            board.jobs.clear();
            end_run(stop.err_text, stop.status);
        }
        add_fold_scores(job.scores, cv_scores);
        {
            std::lock_guard<std::mutex> hold(board.lock);
            job = fold_job{};
            board.reported = j + 1;
        }
        board.changed.notify_all();
        if (f == n_folds - 1) {
            finish_repetition(static_cast<int>(r), cv_scores, report, kept_rows);
            cv_scores = nullptr;
            release_orders(board, r + 1);
        }
    }
    stop_workers(board, workers);
    release_orders(board, board.drawn);
}
