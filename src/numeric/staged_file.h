// A result file written under a temporary name in the directory of its final
// name, and renamed into place only once it is complete: an earlier file of
// that name stays intact until then, and a run that stops leaves no half
// written file under the final name (the temporary is removed at every stop
// the program controls).
#pragma once

#include <string>

// Creates the empty temporary FINAL.partial-PID (with a further -N when that
// exists), with the permissions any new file gets, and registers it for
// removal at a stop. Returns its path, or an empty string with errno set.
std::string create_staged_file(const std::string& final_path);

// Renames the temporary to final_path. On failure removes the temporary and
// returns false with errno set.
bool commit_staged_file(const std::string& temp_path, const std::string& final_path);

// Removes the temporary.
void discard_staged_file(const std::string& temp_path);
