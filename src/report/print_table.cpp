// The subtree table: one row per subtree with its size, cross-validated mean and
// standard error, and marks for the two selections.
#include <cstdio>

#include "report/report.h"

namespace {

std::string format(const char* fmt, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

} // namespace

void print_table(std::ostream& out, const report_file& rep, const cv_summary& sum) {
    const int k = static_cast<int>(rep.subtrees.size());
    out << rep.name << ": " << rep.nodes.size() << " nodes, " << k << " subtrees, "
        << sum.repetitions << (sum.repetitions == 1 ? " repetition" : " repetitions")
        << " of cross-validation\n\n";
    out << "   k         alpha  terminal     mean CV          SE\n";
    for (int j = 0; j < k; j++) {
        char head[64];
        std::snprintf(head, sizeof head, "%4d  %12.6f  %8d", j + 1, rep.subtrees[j].alpha,
                      sum.terminal_nodes[j]);
        std::string mean = sum.repetitions > 0 ? format("%12.2f", sum.mean[j]) : "           -";
        std::string se = sum.repetitions > 1 ? format("%12.2f", sum.se[j]) : "           -";
        std::string marks;
        if (j == sum.best) marks += "  min";
        if (j == sum.one_se) marks += "  1se";
        out << head << mean << se << marks << "\n";
    }
    out << "\n";
    if (sum.repetitions == 0) {
        out << "no cross-validation rows: no subtree can be chosen\n";
    } else {
        out << "min: lowest mean score (lower is better)\n"
            << "1se: smallest subtree whose mean is within one standard error of the lowest";
        if (sum.repetitions == 1) out << "\n     (one repetition: no standard error, 1se = min)";
        out << "\n";
        const int held_out = sum.folds > 0 ? sum.subjects / sum.folds : min_reliable_held_out;
        if (held_out < min_reliable_held_out)
            out << "\nunreliable: " << sum.folds << " folds of " << sum.subjects
                << " subjects hold out " << held_out << (held_out == 1 ? " subject" : " subjects")
                << " each (fewer than " << min_reliable_held_out
                << ");\n  a held-out case alone in its node adds nothing to the score, so these "
                   "means say\n  little about which subtree predicts best\n";
    }
}
