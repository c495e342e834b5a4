// tilted_bound: n * sum_p g_p ln g_p for a distribution g over the response
// patterns with the outcome means and mean pair count of a set of cases, made
// by tilting a reference model distribution h linearly to those moments (and
// mixing in the cases' own pattern frequencies where the tilt leaves a
// negative entry); set_tilt_reference fills h, its moments and the Cholesky
// factor of its covariance from fitted parameters.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "model/node_bounds.h"
#include "model/node_stats.h"
#include "numeric/fatal_error.h"

namespace {

constexpr int max_statistics = 17; // q + 1 for q <= 16

double* doubles(long n) {
    void* p = std::malloc(sizeof(double) * static_cast<size_t>(n));
    if (p == nullptr) fatal_error("allocation failure in dvector()");
    return static_cast<double*>(p);
}

inline int pair_count(long p) {
    const int s = std::popcount(static_cast<unsigned long>(p));
    return s * (s - 1) / 2;
}

} // namespace

void alloc_tilt_reference(tilt_reference& ref, int q) {
    const long np = 1L << q;
    ref.q = q;
    ref.valid = 0;
    ref.h = doubles(np);
    ref.work = doubles(np);
    ref.mean = doubles(q + 1);
    ref.factor = doubles(static_cast<long>(q + 1) * (q + 1));
    ref.pairs = static_cast<int*>(std::malloc(sizeof(int) * static_cast<size_t>(np)));
    if (ref.pairs == nullptr) fatal_error("allocation failure in ivector()");
    for (long p = 0; p < np; p++) ref.pairs[p] = pair_count(p);
}

void release_tilt_reference(tilt_reference& ref) {
    std::free(ref.h);
    std::free(ref.work);
    std::free(ref.mean);
    std::free(ref.factor);
    std::free(ref.pairs);
    ref = tilt_reference{};
}

void copy_tilt_reference(tilt_reference& to, const tilt_reference& from) {
    to.valid = from.valid;
    if (from.valid == 0) return;
    const int d = from.q + 1;
    std::memcpy(to.h, from.h, sizeof(double) * (static_cast<size_t>(1) << from.q));
    std::memcpy(to.mean, from.mean, sizeof(double) * static_cast<size_t>(d));
    std::memcpy(to.factor, from.factor, sizeof(double) * static_cast<size_t>(d * d));
}

void set_tilt_reference(tilt_reference& ref, const real* params) {
    const int q = ref.q;
    ref.valid = 0;
    if (q < 3 || q + 1 > max_statistics) return;
    const long np = 1L << q;
    const int d = q + 1;
    double* h = ref.h;
    double* eta = ref.work;
    eta[0] = 0.0;
    for (int j = 0; j < q; j++)
        for (long p = 1L << j; p < 2L << j; p++) eta[p] = eta[p - (1L << j)] + params[j];
    double top = -std::numeric_limits<double>::infinity();
    for (long p = 0; p < np; p++) {
        eta[p] += ref.pairs[p] * static_cast<double>(params[q]);
        top = std::max(top, eta[p]);
    }
    if (!std::isfinite(top)) return;
    double total = 0.0;
    for (long p = 0; p < np; p++) total += h[p] = std::exp(eta[p] - top);
    double stat[max_statistics];
    double* mean = ref.mean;
    for (int i = 0; i < d; i++) mean[i] = 0.0;
    for (long p = 0; p < np; p++) {
        h[p] /= total;
        for (int j = 0; j < q; j++) mean[j] += ((p >> j) & 1) * h[p];
        mean[q] += ref.pairs[p] * h[p];
    }
    double* L = ref.factor;
    for (int i = 0; i < d * d; i++) L[i] = 0.0;
    for (long p = 0; p < np; p++) {
        for (int j = 0; j < q; j++) stat[j] = static_cast<double>((p >> j) & 1) - mean[j];
        stat[q] = ref.pairs[p] - mean[q];
        for (int i = 0; i < d; i++)
            for (int k = 0; k <= i; k++) L[i * d + k] += h[p] * stat[i] * stat[k];
    }
    // Cholesky factor in place; a pivot lost to cancellation means h is
    // nearly degenerate in some direction, and the tilt would be unstable.
    for (int i = 0; i < d; i++) {
        for (int k = 0; k <= i; k++) {
            double sum = L[i * d + k];
            for (int r = 0; r < k; r++) sum -= L[i * d + r] * L[k * d + r];
            if (k < i) {
                L[i * d + k] = sum / L[k * d + k];
            } else {
                if (!(sum > 1e-10 * L[i * d + i])) return;
                L[i * d + i] = std::sqrt(sum);
            }
        }
    }
    ref.valid = 1;
}

double tilted_bound(tilt_reference& ref, const int* stats, int n, const int* whole,
                    const int* part) {
    const double none = std::numeric_limits<double>::infinity();
    if (ref.valid == 0 || n <= 0) return none;
    const int q = ref.q;
    const int d = q + 1;
    const long np = 1L << q;
    const double* L = ref.factor;
    const double* mean = ref.mean;
    double z[max_statistics];
    double lambda[max_statistics];
    for (int j = 0; j < q; j++) z[j] = static_cast<double>(stats[j]) / n - mean[j];
    z[q] = static_cast<double>(stats[pair_total_index(q)]) / n - mean[q];
    for (int i = 0; i < d; i++) {
        double sum = z[i];
        for (int k = 0; k < i; k++) sum -= L[i * d + k] * z[k];
        z[i] = sum / L[i * d + i];
    }
    for (int i = d - 1; i >= 0; i--) {
        double sum = z[i];
        for (int k = i + 1; k < d; k++) sum -= L[k * d + i] * lambda[k];
        lambda[i] = sum / L[i * d + i];
    }
    double offset = 1.0;
    for (int i = 0; i < d; i++) offset -= lambda[i] * mean[i];

    // g_p = h_p (offset + lambda . T(p)), the outcome part of lambda . T(p)
    // built up bit by bit.
    double* g = ref.work;
    g[0] = 0.0;
    for (int j = 0; j < q; j++)
        for (long p = 1L << j; p < 2L << j; p++) g[p] = g[p - (1L << j)] + lambda[j];
    const double inv_n = 1.0 / n;
    double share = 1.0; // of the tilt in the mixture with the frequencies
    for (long p = 0; p < np; p++) {
        g[p] = ref.h[p] * (offset + g[p] + lambda[q] * ref.pairs[p]);
        if (g[p] < 0.0) {
            const int count = part != nullptr ? whole[p] - part[p] : whole[p];
            if (count == 0) return none;
            const double f = count * inv_n;
            share = std::min(share, f / (f - g[p]));
        }
    }
    double sum = 0.0;
    if (share == 1.0) {
        for (long p = 0; p < np; p++)
            if (g[p] > 0.0) sum += g[p] * std::log(g[p]);
    } else {
        for (long p = 0; p < np; p++) {
            const int count = part != nullptr ? whole[p] - part[p] : whole[p];
            const double mixed = share * g[p] + (1.0 - share) * count * inv_n;
            if (mixed > 0.0) sum += mixed * std::log(mixed);
        }
    }
    return n * sum;
}
