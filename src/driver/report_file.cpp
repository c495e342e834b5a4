// begin_report, open_report, flush_report, close_report, finish_report: the
// report file's stages, written under a temporary name, with failed writes
// caught at every flush and close.
#include "driver/report_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "numeric/fatal_error.h"
#include "numeric/report_path.h"
#include "numeric/staged_file.h"

namespace {

[[noreturn]] void cannot_create(int error) {
    input_error("cannot open report file \"%s\" for writing: %s", report_name().c_str(),
                std::strerror(error));
}

} // namespace

void begin_report() {
    const std::string& name = report_name();
    struct stat st {};
    if (stat(name.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) cannot_create(EISDIR);
        if (access(name.c_str(), W_OK) != 0) cannot_create(errno);
    }
    std::string temp = create_staged_file(name);
    if (temp.empty()) cannot_create(errno);
    set_report_write_path(temp);
}

std::FILE* open_report(const char* mode) {
    std::FILE* report = std::fopen(report_write_path().c_str(), mode);
    if (report == nullptr) cannot_create(errno);
    return report;
}

void flush_report(std::FILE* report) {
    if (std::fflush(report) != 0 || std::ferror(report) != 0)
        input_error("cannot write report file \"%s\": %s", report_name().c_str(),
                    std::strerror(errno));
}

void close_report(std::FILE* report) {
    bool failed = std::fflush(report) != 0 || std::ferror(report) != 0;
    int saved = errno;
    if (std::fclose(report) != 0 && !failed) {
        failed = true;
        saved = errno;
    }
    if (failed)
        input_error("cannot write report file \"%s\": %s", report_name().c_str(),
                    std::strerror(saved));
}

void finish_report() {
    const std::string temp = report_write_path();
    if (temp == report_name()) return;
    set_report_write_path("");
    if (!commit_staged_file(temp, report_name()))
        input_error("cannot write report file \"%s\": %s", report_name().c_str(),
                    std::strerror(errno));
}
