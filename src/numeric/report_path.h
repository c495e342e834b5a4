// Where the run's report goes: the name the user knows it by ("infor" in the
// working directory unless a caller chose another path) and the path it is
// written under while the run is in progress.
#pragma once

#include <string>

// The report's final name, as shown in messages.
const std::string& report_name();
void set_report_name(const std::string& path);

// The file the report's stages write to: the temporary while a run writes
// one, otherwise the final name.
const std::string& report_write_path();
void set_report_write_path(const std::string& path);
