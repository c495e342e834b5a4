// Shared test helpers: temporary directories, whole files, and whole runs of
// the korva executable with a given dialogue.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct korva_run {
    int status = -1; // exit status (255 for -1)
    std::string out; // standard output
    std::string err; // standard error
    bool infor_exists = false;
    std::string infor; // the report file, if any
    std::string dir;   // the working directory of the run
};

// A fresh empty directory under the system's temporary directory.
std::string make_temp_dir();

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& text);

// Path of a file of the source tree, e.g. source_path("examples/birthwt.dat").
std::string source_path(const std::string& relative);

// Runs korva in a fresh directory holding the given files (name, content), with
// `input` on standard input. env is prepended to the command (e.g. "KORVA_THREADS=2").
korva_run run_korva(const std::string& input,
                    const std::vector<std::pair<std::string, std::string>>& files = {},
                    const std::string& env = "");

// The same in an existing directory, which the caller has prepared. args are
// korva's command-line arguments (shell words), redirect replaces the
// standard output and error redirections when given.
korva_run run_korva_in(const std::string& dir, const std::string& input,
                       const std::string& env = "", const std::string& args = "",
                       const std::string& redirect = "> .stdout 2> .stderr");

// The names in a directory, sorted, without "." and "..".
std::vector<std::string> list_dir(const std::string& dir);

// Runs body in a child process whose working directory is a fresh temporary
// directory and whose standard output and error go to files; returns its exit
// status (0 when body returns), both texts and any "infor" it left.
korva_run run_in_child(const std::function<void()>& body);

// Changes into a fresh temporary directory for the lifetime of the object.
struct scoped_temp_cwd {
    scoped_temp_cwd();
    ~scoped_temp_cwd();
    std::string previous;
    std::string dir;
};
