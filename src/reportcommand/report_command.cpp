// run_report: checks the options, reads the file, prints the text view (or
// its JSON) and writes the pictures asked for. Every refusal is one line
// "error: ..." and exit status 1; nothing is written before the options and
// the file have been checked.
#include "reportcommand/report_command.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <sstream>

#include "report/report.h"
#include "reportcommand/report_input.h"
#include "reportmodel/model_dot.h"
#include "reportmodel/model_text.h"
#include "reportmodel/profiles_svg.h"
#include "reportmodel/report_json.h"
#include "reportmodel/subtree_view.h"

namespace {

struct refusal {
    std::string message;
};

[[noreturn]] void refuse(const std::string& message) {
    throw refusal{message};
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool ends_with(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// A picture goes only into a file whose name says what it holds, so that
// "--plot cv.png" is not SVG under a PNG name.
void check_extension(const char* option, const std::string& path,
                     const std::vector<std::string>& endings, const std::string& what) {
    if (path.empty()) return;
    for (const std::string& e : endings)
        if (ends_with(lower(path), e)) return;
    std::string list;
    for (size_t i = 0; i < endings.size(); i++) list += (i == 0 ? "" : " or ") + endings[i];
    refuse(std::string(option) + " " + path + ": this picture is written as " + what +
           ", so the file name must end in " + list);
}

void check_options(const report_options& o) {
    const std::string& t = o.tree;
    const bool number = !t.empty() && std::all_of(t.begin(), t.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
    if (!t.empty() && !number && t != "min" && t != "1se")
        refuse("--tree " + t + ": expected a subtree number, min or 1se");
    check_extension("--dot", o.dot, {".dot", ".gv"}, "Graphviz DOT");
    check_extension("--svg", o.svg, {".svg"}, "SVG");
    check_extension("--png", o.png, {".png"}, "PNG");
    check_extension("--plot", o.plot, {".svg"}, "SVG");
    check_extension("--profiles", o.profiles, {".svg"}, "SVG");
}

void write_text(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) refuse(path + ": cannot write the file");
}

void run(const report_options& o) {
    check_options(o);
    report_input input;
    std::string error;
    if (!read_report_input(o.file, input, error)) refuse(error);
    if (!o.profiles.empty() && !input.is_model)
        refuse("--profiles needs a model file (model.json): " + o.file +
               " is a report file, which holds no outcome rates");
    std::vector<std::string> names;
    if (!o.names.empty()) {
        if (!read_names(o.names, names, error) || !apply_names(input, names, o.names, error))
            refuse(error);
    }
    const bool draws_tree = !o.dot.empty() || !o.svg.empty() || !o.png.empty();
    const bool needs_subtree = input.is_model || draws_tree || o.json || !o.tree.empty();
    std::string chosen_by;
    const int k = needs_subtree ? chosen_subtree(input, o.tree, chosen_by, error) : 0;
    if (needs_subtree && k == 0) refuse(error);
    if (!o.plot.empty() && input.sum.best < 0)
        refuse(input.rep.name + ": no usable cross-validation rows, nothing to plot");

    subtree_view view;
    if (input.is_model) view = view_of_subtree(input.model, k, chosen_by);
    if (o.json) {
        const nlohmann::ordered_json j =
            input.is_model ? model_view_json(input.model, input.rep, input.sum, view)
                           : report_view_json(input.rep, input.sum, k);
        std::cout << j.dump(2) << "\n";
    } else {
        print_table(std::cout, input.rep, input.sum);
        if (input.is_model) {
            std::cout << "\n";
            print_subtree(std::cout, input.model, view);
            std::cout << "\n";
            print_profiles(std::cout, input.model, view);
        }
    }
    // With --json standard output holds the JSON alone.
    std::ostream& said = o.json ? std::cerr : std::cout;
    const std::string subtree =
        draws_tree ? "subtree " + std::to_string(k) + " (" +
                         std::to_string(input.sum.terminal_nodes[static_cast<size_t>(k - 1)]) +
                         " terminal nodes)"
                   : "";
    if (draws_tree) {
        std::ostringstream dot;
        if (input.is_model)
            write_model_dot(dot, input.model, view);
        else
            write_dot(dot, input.rep, k, names);
        if (!o.dot.empty()) {
            write_text(o.dot, dot.str());
            said << subtree << " written to " << o.dot << "\n";
        }
        for (const auto& [format, path] : {std::pair{"svg", o.svg}, std::pair{"png", o.png}}) {
            if (path.empty()) continue;
            if (!render_with_dot(dot.str(), format, path, error)) refuse(error);
            said << subtree << " drawn in " << path << "\n";
        }
    }
    if (!o.plot.empty()) {
        std::ostringstream svg;
        write_cv_plot(svg, input.rep, input.sum);
        write_text(o.plot, svg.str());
        said << "cross-validation curve drawn in " << o.plot << "\n";
    }
    if (!o.profiles.empty()) {
        std::ostringstream svg;
        write_profiles_svg(svg, input.model, view, input.rep.name);
        write_text(o.profiles, svg.str());
        said << "outcome profiles of subtree " << k << " drawn in " << o.profiles << "\n";
    }
    // A full disk or a closed pipe must not pass for a complete report.
    if (!std::cout.flush()) refuse("cannot write to standard output");
}

} // namespace

int run_report(const report_options& options) {
    try {
        run(options);
    } catch (const refusal& r) {
        std::cout.clear();
        std::cout.flush();
        std::cerr << "error: " << r.message << "\n";
        return 1;
    }
    return 0;
}
