// start_parameters: the fit's start values from the observed proportions, and
// the list of retained outcomes (those neither 0 nor 1 in every case).
#include <cmath>

#include "model/node_fit.h"

int start_parameters(const real* means, int q, real* params, int* retained) {
    int m = 0;
    for (int j = 0; j < q; j++) {
        const double p = means[j];
        if (p > 0.0 && p < 1.0) {
            params[m] = static_cast<real>(std::log(p / (1.0 - p)));
            retained[m] = j;
            m++;
        }
    }
    params[m] = 0.0f;
    // Logits beyond +-3 restart at -1, not at the bound.
    for (int k = 0; k <= m; k++)
        if (params[k] > 3.0 || params[k] < -3.0) params[k] = -1.0f;
    return m;
}
