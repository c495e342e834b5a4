// Mean and standard error of each subtree's cross-validated score over the
// repetitions, and the two choices made from them (lower scores are better).
#include <algorithm>
#include <cmath>

#include "report/report.h"

namespace {

// i is preferred to j when it is smaller; equal sizes go to the lower mean.
bool smaller_subtree(const cv_summary& s, int i, int j) {
    if (s.terminal_nodes[i] != s.terminal_nodes[j])
        return s.terminal_nodes[i] < s.terminal_nodes[j];
    return s.mean[i] < s.mean[j];
}

} // namespace

void summarize_cv(const report_file& rep, cv_summary& sum) {
    const int k = static_cast<int>(rep.subtrees.size());
    const int r = static_cast<int>(rep.cv_rows.size());
    sum = cv_summary();
    sum.repetitions = r;
    subtree_sizes(rep, sum.terminal_nodes);
    sum.mean.assign(k, 0.0);
    sum.se.assign(k, 0.0);
    if (r == 0) return;
    for (int j = 0; j < k; j++) {
        double total = 0;
        for (const std::vector<double>& row : rep.cv_rows) total += row[j];
        const double mean = total / r;
        double squares = 0;
        for (const std::vector<double>& row : rep.cv_rows)
            squares += (row[j] - mean) * (row[j] - mean);
        sum.mean[j] = mean;
        sum.se[j] = r > 1 ? std::sqrt(squares / (r - 1)) / std::sqrt(static_cast<double>(r)) : 0;
    }

    // Lowest mean; a tie goes to the smaller subtree. Non-finite means are never chosen.
    for (int j = 0; j < k; j++) {
        if (!std::isfinite(sum.mean[j])) continue;
        if (sum.best < 0 || sum.mean[j] < sum.mean[sum.best] ||
            (sum.mean[j] == sum.mean[sum.best] && smaller_subtree(sum, j, sum.best)))
            sum.best = j;
    }
    if (sum.best < 0) return;

    // One-standard-error rule: the smallest subtree whose mean is at most the lowest mean
    // plus its standard error. With one repetition there is no standard error and the
    // rule picks the lowest-mean subtree. The slack absorbs rounding in the means.
    const double limit =
        sum.mean[sum.best] + (std::isfinite(sum.se[sum.best]) ? sum.se[sum.best] : 0);
    const double slack = 1e-9 * std::max(1.0, std::fabs(limit));
    sum.one_se = sum.best;
    for (int j = 0; j < k; j++) {
        if (!std::isfinite(sum.mean[j]) || sum.mean[j] > limit + slack) continue;
        if (smaller_subtree(sum, j, sum.one_se)) sum.one_se = j;
    }
}
