// Gives the value a fold tree is pruned at for subtree i of the main sequence,
// from alpha: the geometric mean of alpha_i and alpha_(i+1), except for the last
// two subtrees, which use their own alpha.
#include <cmath>

#include "cv/evaluate_fold.h"
#include "numeric/run_counts.h"

real cv_alpha(int i) {
    if (i > n_subtrees - 3) return alpha[i];
    double product = static_cast<double>(alpha[i]) * static_cast<double>(alpha[i + 1]);
    if (product > 0) return static_cast<real>(std::sqrt(product));
    return 0;
}
