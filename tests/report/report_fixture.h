// Helpers for the korva-report tests: the committed report files, edited copies
// of them, and runs of the korva-report executable.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/test_support.h"

inline std::string fixture_path(const std::string& name) {
    return source_path("tests/report/fixtures/" + name);
}

inline std::string fixture_text(const std::string& name) {
    return read_file(fixture_path(name));
}

// Replaces the first occurrence of `from` in `text` (which must be there) by `to`.
inline std::string replaced(std::string text, const std::string& from, const std::string& to) {
    std::size_t at = text.find(from);
    if (at == std::string::npos) return "replaced(): text not found: " + from;
    return text.replace(at, from.size(), to);
}

// A path in single quotes for the shell (the paths used here hold no quotes).
inline std::string quoted(const std::string& path) {
    std::string q = "'";
    q += path;
    q += "'";
    return q;
}

struct report_run {
    int status = -1;
    std::string out, err, dir;
};

// Runs korva-report in a fresh directory with the given arguments (already quoted).
inline report_run run_report(const std::string& args, const std::string& env = "") {
    report_run r;
    r.dir = make_temp_dir();
    std::string cmd = "cd '" + r.dir + "' && " + env + " '" + KORVA_REPORT_BINARY + "' " + args +
                      " > .stdout 2> .stderr";
    int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 1000 + raw;
    r.out = read_file(r.dir + "/.stdout");
    r.err = read_file(r.dir + "/.stderr");
    return r;
}

inline bool have_program(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// True when python3's XML parser accepts the file.
inline bool well_formed_xml(const std::string& path) {
    std::string cmd =
        "python3 -c 'import sys, xml.etree.ElementTree as E; E.parse(sys.argv[1])' '" + path +
        "' 2>/dev/null";
    return std::system(cmd.c_str()) == 0;
}
