// The run's progress counts and the progress display's lock.
#include "numeric/progress_counts.h"

#include <cstdio>

std::atomic<long> folds_finished{0};
std::mutex progress_lock;
bool progress_line_open = false;
bool progress_closed = false;

void close_progress() {
    std::lock_guard<std::mutex> hold(progress_lock);
    if (progress_line_open) std::fputc('\n', stderr);
    progress_line_open = false;
    progress_closed = true;
}
