// The report's final name and the path it is written under.
#include "numeric/report_path.h"

namespace {
std::string final_name = "infor";
std::string write_path;
} // namespace

const std::string& report_name() {
    return final_name;
}

void set_report_name(const std::string& path) {
    final_name = path;
}

const std::string& report_write_path() {
    return write_path.empty() ? final_name : write_path;
}

void set_report_write_path(const std::string& path) {
    write_path = path;
}
