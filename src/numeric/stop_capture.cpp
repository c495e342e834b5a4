// The calling thread's flag for capturing stops.
#include "numeric/stop_capture.h"

namespace {
thread_local bool capturing = false;
}

void capture_stops(bool on) {
    capturing = on;
}

bool stops_captured() {
    return capturing;
}
