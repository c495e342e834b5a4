// create_staged_file, commit_staged_file, discard_staged_file: the temporary a
// result file is written under, and its rename into place.
#include "numeric/staged_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "numeric/stop_cleanup.h"

std::string create_staged_file(const std::string& final_path) {
    const std::string base = final_path + ".partial-" + std::to_string(getpid());
    for (int attempt = 0; attempt < 100; attempt++) {
        std::string path = attempt == 0 ? base : base + "-" + std::to_string(attempt);
        // Mode 0666 less the umask, as for any file the program creates.
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            close(fd);
            remove_at_stop(path.c_str());
            return path;
        }
        if (errno != EEXIST) return {};
    }
    errno = EEXIST;
    return {};
}

bool commit_staged_file(const std::string& temp_path, const std::string& final_path) {
    if (std::rename(temp_path.c_str(), final_path.c_str()) == 0) {
        keep_at_stop(temp_path.c_str());
        return true;
    }
    const int saved = errno;
    discard_staged_file(temp_path);
    errno = saved;
    return false;
}

void discard_staged_file(const std::string& temp_path) {
    keep_at_stop(temp_path.c_str());
    unlink(temp_path.c_str());
}
