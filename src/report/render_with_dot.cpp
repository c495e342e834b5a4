// Renders DOT text to SVG or PNG through Graphviz's dot program.
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "report/report.h"

namespace {

std::string shell_quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

} // namespace

bool render_with_dot(const std::string& dot_text, const std::string& format,
                     const std::string& path, std::string& error) {
    if (std::system("command -v dot >/dev/null 2>&1") != 0) {
        error = path + ": cannot draw the picture: Graphviz's dot is not installed "
                       "(install the graphviz package, or write DOT with --dot)";
        return false;
    }
    // An unwritable name is said in one line here rather than by dot.
    if (!std::ofstream(path)) {
        error = path + ": cannot write the file";
        return false;
    }
    const std::string dot_path = path + ".korva-report.dot";
    {
        std::ofstream out(dot_path);
        out << dot_text;
        if (!out) {
            error = dot_path + ": cannot write the temporary DOT file";
            return false;
        }
    }
    const std::string command =
        "dot -T" + format + " -o " + shell_quote(path) + " " + shell_quote(dot_path);
    const int status = std::system(command.c_str());
    std::remove(dot_path.c_str());
    if (status != 0) {
        error = path + ": dot failed to draw the picture";
        return false;
    }
    return true;
}
