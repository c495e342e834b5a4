// The number of threads the run's work is spread over.
#pragma once

// Threads of the run: 1 means everything runs on the calling thread and no
// thread is created. Set once at the start of the run, before any work.
extern int n_threads;

// Largest thread count KORVA_THREADS may ask for.
inline constexpr int max_threads = 256;

// The thread count the environment asks for: KORVA_THREADS when set and not
// empty, a whole number from 1 to max_threads (anything else stops the run
// with an error line, status 1); otherwise the number of cores.
int threads_from_environment();
