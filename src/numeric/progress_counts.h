// How far the run's work has come, for a display of progress: written by the
// threads that do the work, read by any thread; and the lock that keeps such
// a display and the run's stops from writing into each other's lines.
#pragma once

#include <atomic>
#include <mutex>

// Cross-validation folds finished so far in the run, over all repetitions.
extern std::atomic<long> folds_finished;

// Held while a progress display writes to standard error, and by a stop
// before it writes its message there.
extern std::mutex progress_lock;
// Under progress_lock: a progress line without its line end is showing, and
// the run is ending (no further progress may be drawn).
extern bool progress_line_open;
extern bool progress_closed;

// Ends any progress display for good: under the lock, closes an open progress
// line with its line end and forbids further drawing.
void close_progress();
