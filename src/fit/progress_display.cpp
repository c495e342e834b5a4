// progress_display: a watcher thread that reads the run's fold count a few
// times a second and draws the cross-validation's progress on standard error.
#include "fit/progress_display.h"

#include <unistd.h>

#include <cstdio>

#include "numeric/progress_counts.h"

namespace {

std::string clock_text(double seconds) {
    if (seconds < 0) seconds = 0;
    long s = static_cast<long>(seconds + 0.5);
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

} // namespace

progress_display::progress_display(bool quiet)
    : quiet_(quiet), terminal_(isatty(STDERR_FILENO) == 1) {}

progress_display::~progress_display() {
    finish();
}

void progress_display::step(const std::string& what) {
    if (quiet_) return;
    std::lock_guard<std::mutex> hold(progress_lock);
    if (progress_closed) return;
    std::fprintf(stderr, "%s\n", what.c_str());
}

void progress_display::start_folds(int folds, int repeats) {
    if (quiet_ || repeats <= 0) return;
    folds_ = folds;
    repeats_ = repeats;
    start_count_ = folds_finished.load();
    last_reported_ = 0;
    announced_ = false;
    started_ = std::chrono::steady_clock::now();
    stopping_ = false;
    watcher_ = std::thread(&progress_display::watch, this);
}

void progress_display::finish() {
    if (watcher_.joinable()) {
        {
            std::lock_guard<std::mutex> hold(lock_);
            stopping_ = true;
        }
        wake_.notify_all();
        watcher_.join();
        draw(folds_finished.load() - start_count_, true);
    }
}

void progress_display::watch() {
    std::unique_lock<std::mutex> hold(lock_);
    while (!stopping_) {
        wake_.wait_for(hold, std::chrono::milliseconds(terminal_ ? 200 : 500));
        if (stopping_) break;
        hold.unlock();
        draw(folds_finished.load() - start_count_, false);
        hold.lock();
    }
}

void progress_display::draw(long done, bool final) {
    const long total = static_cast<long>(folds_) * repeats_;
    if (done > total) done = total;
    const long repetitions_done = done / folds_;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    std::lock_guard<std::mutex> hold(progress_lock);
    if (progress_closed) return;
    if (!terminal_) {
        // Plain lines: the start, a finished repetition at most every ten
        // seconds, and the end.
        if (!announced_) {
            std::fprintf(stderr, "cross-validation: %d repetitions of %d folds ...\n", repeats_,
                         folds_);
            announced_ = true;
            last_line_ = elapsed;
        }
        if (final) {
            std::fprintf(stderr, "cross-validation: done in %s\n", clock_text(elapsed).c_str());
        } else if (repetitions_done > last_reported_ && elapsed - last_line_ >= 10) {
            std::fprintf(stderr,
                         "cross-validation: repetition %ld of %d done, %s elapsed, about %s left\n",
                         repetitions_done, repeats_, clock_text(elapsed).c_str(),
                         clock_text(elapsed * static_cast<double>(total - done) / done).c_str());
            last_reported_ = repetitions_done;
            last_line_ = elapsed;
        }
        return;
    }
    constexpr int width = 30;
    const int filled = total > 0 ? static_cast<int>(width * done / total) : width;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(width - filled), '.');
    std::string left = "";
    if (done > 0 && done < total)
        left =
            ", about " + clock_text(elapsed * static_cast<double>(total - done) / done) + " left";
    else if (done == 0)
        left = ", estimating time left";
    std::fprintf(stderr, "\rcross-validation [%s] repetition %ld of %d, %s elapsed%s\x1b[K",
                 bar.c_str(), repetitions_done < repeats_ ? repetitions_done + 1 : repeats_,
                 repeats_, clock_text(elapsed).c_str(), left.c_str());
    progress_line_open = true;
    if (final) {
        std::fputc('\n', stderr);
        progress_line_open = false;
    }
    std::fflush(stderr);
}
