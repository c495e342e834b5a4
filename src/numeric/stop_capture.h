// Stops inside a worker thread. A thread that works on behalf of another
// captures the run's stops (fatal_error, input_error, silent_exit): instead of
// ending the process, a stop throws captured_stop with the text it would have
// written on standard error and its exit status. The owning thread performs
// the stop later with end_run, when all work before it has been reported.
#pragma once

#include <string>

struct captured_stop {
    std::string err_text; // exactly what the stop writes on standard error
    int status = 0;       // exit status
};

// Turns capturing on or off for the calling thread.
void capture_stops(bool on);
bool stops_captured();
