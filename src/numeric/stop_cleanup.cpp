// The list of files to remove at a stop, kept in fixed storage so that a
// signal handler can walk it without allocating.
#include "numeric/stop_cleanup.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace {

constexpr int max_files = 4;
constexpr int max_path = 4096;

// A slot is in use when its flag is set; the path is written before the flag.
char paths[max_files][max_path];
std::atomic<bool> used[max_files];

void on_signal(int sig) {
    remove_registered_files();
    signal(sig, SIG_DFL);
    raise(sig);
}

} // namespace

void remove_at_stop(const char* path) {
    if (std::strlen(path) >= static_cast<size_t>(max_path)) return;
    for (int i = 0; i < max_files; i++) {
        if (!used[i].load()) {
            std::strcpy(paths[i], path);
            used[i].store(true);
            return;
        }
    }
}

void keep_at_stop(const char* path) {
    for (int i = 0; i < max_files; i++)
        if (used[i].load() && std::strcmp(paths[i], path) == 0) used[i].store(false);
}

void remove_registered_files() {
    for (int i = 0; i < max_files; i++) {
        if (used[i].exchange(false)) unlink(paths[i]);
    }
}

void remove_files_on_signals() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the process was started to ignore stays ignored.
        struct sigaction current {};
        if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = on_signal;
        sigemptyset(&action.sa_mask);
        sigaction(sig, &action, nullptr);
    }
}
