// warn_about_folds, warn_about_nominal_covariates: the run's warnings.
#include "driver/run_warnings.h"

#include <cstdio>

#include "numeric/printable_text.h"
#include "numeric/run_counts.h"

void warn_about_folds(int n_subjects, int n_folds) {
    if (n_folds < 1) return;
    const int held_out = n_subjects / n_folds;
    if (held_out >= min_reliable_held_out) return;
    std::fflush(stdout);
    std::fprintf(stderr,
                 "warning: %d folds of %d subjects hold out %d subject%s each: a held-out case "
                 "alone in its node adds nothing to the score, so %s; with fewer folds (at least "
                 "%d held-out subjects each) the scores mean more\n",
                 n_folds, n_subjects, held_out, held_out == 1 ? "" : "s",
                 held_out < 2 ? "every score will be 0 and no subtree can be told from another"
                              : "the scores are unreliable",
                 min_reliable_held_out);
}

void warn_about_nominal_covariates(const int* cov_column, const std::vector<std::string>& names) {
    for (int c = 0; c < n_covariates; c++) {
        const int k = cov_levels[c];
        if (k < many_categories) continue;
        const long divisions = (1L << (k - 1)) - 1;
        std::fflush(stdout);
        if (!names.empty())
            std::fprintf(stderr, "warning: nominal column \"%s\" has %d categories",
                         printable_text(names[static_cast<size_t>(cov_column[c])]).c_str(), k);
        else
            std::fprintf(stderr, "warning: nominal covariate %d (data column %d) has %d categories",
                         c + 1, cov_column[c] + 1, k);
        std::fprintf(stderr,
                     ": the split search tries all %ld divisions of them at every node, which "
                     "can take long (merging categories makes it faster)\n",
                     divisions);
    }
}
