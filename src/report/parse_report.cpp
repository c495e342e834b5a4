// Reads korva's report file: the tree table, the pruning block and the
// cross-validation rows, checking each against the layout korva writes.
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "report/report.h"

namespace {

std::vector<std::string> split_fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    std::string f;
    while (in >> f) fields.push_back(f);
    return fields;
}

bool parse_int(const std::string& s, int& value) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || v < -2147483647L || v > 2147483647L) return false;
    value = static_cast<int>(v);
    return true;
}

bool parse_real(const std::string& s, double& value) {
    if (s.empty()) return false;
    char* end = nullptr;
    value = std::strtod(s.c_str(), &end);
    return *end == '\0';
}

std::string where(const std::string& name, int line) {
    return name + ":" + std::to_string(line) + ": ";
}

bool is_blank(const std::string& line) {
    return line.find_first_not_of(" \t\r") == std::string::npos;
}

// A pruning line starts with "<k>th".
bool looks_like_pruning_line(const std::vector<std::string>& f) {
    if (f.empty() || f[0].size() < 3) return false;
    return f[0].compare(f[0].size() - 2, 2, "th") == 0;
}

bool parse_categories(const std::string& field, std::vector<int>& cats) {
    if (field.size() < 2 || field.front() != '{' || field.back() != '}') return false;
    std::string inner = field.substr(1, field.size() - 2);
    cats.clear();
    if (inner.empty()) return true;
    std::size_t start = 0;
    while (true) {
        std::size_t comma = inner.find(',', start);
        std::string item =
            inner.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        int c = 0;
        if (!parse_int(item, c) || c < 0) return false;
        if (!cats.empty() && c <= cats.back()) return false;
        cats.push_back(c);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

bool parse_node_row(const std::string& line, int expected, report_node& node, std::string& why) {
    std::vector<std::string> f = split_fields(line);
    if (f.size() != 7) {
        why = "tree table row has " + std::to_string(f.size()) +
              " fields, expected 7 (node, cases, left, right, var #, split, likelihood)";
        return false;
    }
    const char* titles[5] = {"node #", "cases", "left", "right", "var #"};
    int* slots[5] = {&node.number, &node.cases, &node.left, &node.right, &node.column};
    for (int i = 0; i < 5; i++) {
        if (!parse_int(f[i], *slots[i])) {
            why = std::string("tree table row: ") + titles[i] + " \"" + f[i] +
                  "\" is not a whole number";
            return false;
        }
    }
    if (node.number != expected) {
        why = "tree table row for node " + std::to_string(node.number) + " where node " +
              std::to_string(expected) + " was expected";
        return false;
    }
    if (node.cases < 0 || node.left < 0 || node.right < 0 || node.column < 1) {
        why = "tree table row: negative count, negative daughter or var # below 1";
        return false;
    }
    if (f[5].front() == '{') {
        node.nominal = true;
        if (!parse_categories(f[5], node.right_categories)) {
            why = "tree table row: bad category list \"" + f[5] + "\"";
            return false;
        }
    } else if (!parse_real(f[5], node.cut)) {
        why = "tree table row: split value \"" + f[5] + "\" is not a number";
        return false;
    }
    if (!parse_real(f[6], node.likelihood)) {
        why = "tree table row: likelihood \"" + f[6] + "\" is not a number";
        return false;
    }
    return true;
}

// Daughters must come in pairs below their parent, inside the table, and every node
// but the root must have exactly one parent.
bool check_tree(report_file& rep, std::string& error) {
    const int n = static_cast<int>(rep.nodes.size());
    std::vector<int> parents(n, 0);
    for (const report_node& t : rep.nodes) {
        std::string why;
        if ((t.left == 0) != (t.right == 0))
            why = "only one of the two daughters is given";
        else if (t.left != 0 && t.right != t.left + 1)
            why = "right daughter is not left daughter + 1";
        else if (t.left != 0 && t.left <= t.number)
            why = "daughter numbered below its parent";
        else if (t.left != 0 && t.right >= n)
            why = "daughter " + std::to_string(t.right) + " is not in the table of " +
                  std::to_string(n) + " nodes";
        if (!why.empty()) {
            error = where(rep.name, t.line) + "node " + std::to_string(t.number) + ": " + why;
            return false;
        }
        if (t.left != 0) {
            parents[t.left]++;
            parents[t.right]++;
        }
    }
    for (int t = 1; t < n; t++) {
        if (parents[t] != 1) {
            error = where(rep.name, rep.nodes[t].line) + "node " + std::to_string(t) + " has " +
                    std::to_string(parents[t]) + " parents in the tree table";
            return false;
        }
    }
    return true;
}

bool parse_pruning_line(const std::vector<std::string>& f, int expected, int n_nodes,
                        report_subtree& sub, std::string& why) {
    int k = 0;
    if (!parse_int(f[0].substr(0, f[0].size() - 2), k) || k != expected) {
        why = "pruning line \"" + f[0] + "\" where " + std::to_string(expected) + "th was expected";
        return false;
    }
    if (f.size() < 2 || f[1].size() < 2 || f[1].back() != ':' ||
        !parse_real(f[1].substr(0, f[1].size() - 1), sub.alpha)) {
        why = "pruning line " + f[0] + ": expected the alpha value followed by ':'";
        return false;
    }
    for (std::size_t i = 2; i < f.size(); i++) {
        int t = 0;
        if (!parse_int(f[i], t) || t < 0 || t >= n_nodes) {
            why = "pruning line " + f[0] + ": \"" + f[i] + "\" is not a node of the tree table";
            return false;
        }
        sub.pruned.push_back(t);
    }
    return true;
}

} // namespace

bool parse_report(const std::string& text, const std::string& name, report_file& rep,
                  std::string& error) {
    rep = report_file();
    rep.name = name;
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        if (nl == std::string::npos) {
            // korva ends every line; a last line without its end was cut short.
            error = where(name, static_cast<int>(lines.size()) + 1) +
                    "file ends in the middle of a line (truncated?)";
            return false;
        }
        std::string line = text.substr(start, nl - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = nl + 1;
    }
    const int n_lines = static_cast<int>(lines.size());
    if (n_lines == 0) {
        error = name + ": file is empty";
        return false;
    }
    if (lines[0].find("daugther-nodes") == std::string::npos) {
        error = where(name, 1) + "not a korva report: expected the tree table header";
        return false;
    }
    if (n_lines < 2 ||
        split_fields(lines[1]) != std::vector<std::string>{"node", "#", "cases", "left", "right",
                                                           "var", "#", "value", "likelihood"}) {
        error = where(name, n_lines < 2 ? 1 : 2) +
                (n_lines < 2 ? std::string("file ends after the first header line")
                             : std::string("expected the column titles of the tree table"));
        return false;
    }

    // Tree table rows up to the empty line.
    int i = 2;
    for (; i < n_lines && !is_blank(lines[i]); i++) {
        report_node node;
        node.line = i + 1;
        std::string why;
        if (!parse_node_row(lines[i], static_cast<int>(rep.nodes.size()), node, why)) {
            error = where(name, i + 1) + why;
            return false;
        }
        rep.nodes.push_back(node);
    }
    if (i == n_lines) {
        error = where(name, n_lines) +
                "file ends inside the tree table (no pruning block follows; truncated?)";
        return false;
    }
    if (rep.nodes.empty()) {
        error = where(name, i + 1) + "the tree table has no rows";
        return false;
    }
    if (!check_tree(rep, error)) return false;
    i++; // the empty line

    // Pruning lines, replayed on the tree so that each listed node is checked to be
    // internal in the subtree reached so far.
    const int n_nodes = static_cast<int>(rep.nodes.size());
    std::vector<int> in_subtree(n_nodes, 1), terminal(n_nodes, 0);
    for (int t = 0; t < n_nodes; t++) terminal[t] = rep.nodes[t].left == 0;
    for (; i < n_lines; i++) {
        std::vector<std::string> f = split_fields(lines[i]);
        if (!looks_like_pruning_line(f)) break;
        report_subtree sub;
        sub.line = i + 1;
        std::string why;
        if (!parse_pruning_line(f, static_cast<int>(rep.subtrees.size()) + 1, n_nodes, sub, why)) {
            error = where(name, i + 1) + why;
            return false;
        }
        for (int t : sub.pruned) {
            if (!prune_node(rep.nodes, t, in_subtree, terminal)) {
                error = where(name, i + 1) + "pruning line " + f[0] + ": node " +
                        std::to_string(t) + " is not an internal node of subtree " +
                        std::to_string(rep.subtrees.size());
                return false;
            }
        }
        rep.subtrees.push_back(sub);
    }
    if (rep.subtrees.empty()) {
        error = where(name, i < n_lines ? i + 1 : n_lines) +
                "expected the pruning block (a line \"1th 0.000000: ...\")" +
                (i < n_lines ? "" : "; file ends after the tree table (truncated?)");
        return false;
    }

    // Cross-validation rows: one score per subtree each. Blank lines are skipped.
    const std::size_t n_subtrees = rep.subtrees.size();
    for (; i < n_lines; i++) {
        if (is_blank(lines[i])) continue;
        std::vector<std::string> f = split_fields(lines[i]);
        if (looks_like_pruning_line(f)) {
            error = where(name, i + 1) + "pruning line after the cross-validation rows";
            return false;
        }
        std::vector<double> row;
        for (const std::string& s : f) {
            double v = 0;
            if (!parse_real(s, v)) {
                error = where(name, i + 1) + "cross-validation row: \"" + s + "\" is not a number";
                return false;
            }
            row.push_back(v);
        }
        if (row.size() != n_subtrees) {
            error = where(name, i + 1) + "cross-validation row has " + std::to_string(row.size()) +
                    " scores, expected " + std::to_string(n_subtrees) + " (one per subtree)";
            return false;
        }
        rep.cv_rows.push_back(row);
        rep.cv_lines.push_back(i + 1);
    }
    return true;
}

bool read_report(const std::string& path, report_file& rep, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open the report file";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        error = path + ": cannot read the report file";
        return false;
    }
    return parse_report(text.str(), path, rep, error);
}
