// open_report, flush_report, close_report: the report file's stages, with
// failed writes caught at every flush and close.
#include "driver/report_file.h"

#include <cerrno>
#include <cstring>

#include "numeric/fatal_error.h"

void check_report_writable() {
    close_report(open_report("a"));
}

std::FILE* open_report(const char* mode) {
    std::FILE* report = std::fopen(report_file_name, mode);
    if (report == nullptr)
        input_error("cannot open report file \"%s\" for writing: %s", report_file_name,
                    std::strerror(errno));
    return report;
}

void flush_report(std::FILE* report) {
    if (std::fflush(report) != 0 || std::ferror(report) != 0)
        input_error("cannot write report file \"%s\": %s", report_file_name, std::strerror(errno));
}

void close_report(std::FILE* report) {
    bool failed = std::fflush(report) != 0 || std::ferror(report) != 0;
    int saved = errno;
    if (std::fclose(report) != 0 && !failed) {
        failed = true;
        saved = errno;
    }
    if (failed)
        input_error("cannot write report file \"%s\": %s", report_file_name, std::strerror(saved));
}
