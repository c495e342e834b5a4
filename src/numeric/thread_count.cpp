// Definition of the run's thread count.
#include "numeric/thread_count.h"

int n_threads = 1;
