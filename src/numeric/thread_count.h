// The number of threads the run's work is spread over.
#pragma once

// Threads of the run: 1 means everything runs on the calling thread and no
// thread is created. Set once at the start of the run, before any work.
extern int n_threads;
