// SVDCMP: the singular value decomposition a = U diag(w) V^T of a 1-based m x n
// matrix, filling a with U, w with the singular values (unsorted, made
// non-negative) and v with V, by Householder reduction to bidiagonal form,
// accumulation of the right- and left-hand transformations, and implicitly
// shifted QR sweeps with Givens rotations on the bidiagonal form.
//
// Every scalar and matrix element is kept as a real; each assignment is
// evaluated in double and rounded once, and every accumulating loop sums in
// double and rounds when it ends. Every division by an exactly zero quantity
// of the decomposition ends the run.
//
// svd_pair runs two decompositions (without U) at once: the rotations of one
// form a long chain of dependent steps, and interleaving two independent
// chains lets the processor overlap them. Each keeps its own sequence of
// stored values; what SVDCMP would print or stop with is left to the caller.
// svd_quiet is one such decomposition on its own.
#include "model/svdcmp.h"

#include <algorithm>
#include <cmath>

#include "numeric/console.h"
#include "numeric/fatal_error.h"

namespace {

inline real R(double x) {
    return static_cast<real>(x);
}

// |a| with the sign of b (b = 0 counts as positive).
inline double with_sign(double a, double b) {
    return b >= 0.0 ? std::fabs(a) : -std::fabs(a);
}

// x + N == N at working precision, N the largest |w_i| + |e_i| of the reduction.
inline bool negligible(real x, real anorm) {
    return std::fabs(static_cast<double>(x)) + static_cast<double>(anorm) ==
           static_cast<double>(anorm);
}

// The Householder reduction to bidiagonal form and the accumulation of the
// right-hand transformations, column by column, so that two reductions can
// take turns. g, scale, l and anorm are carried from one column to the next.
struct reduce_lane {
    real** a;
    int m, n;
    real* w;
    real* rv1;
    real** v;
    real g, scale, anorm;
    int l;
};

void start_reduction(reduce_lane& r, real** a, int m, int n, real* w, real** v, real* work) {
    r.a = a;
    r.m = m;
    r.n = n;
    r.w = w;
    r.rv1 = work;
    r.v = v;
    r.g = r.scale = r.anorm = 0.0f;
    r.l = 0;
}

// Column i of the reduction; false at an exactly zero divisor.
bool householder_step(reduce_lane& r, int i) {
    real** a = r.a;
    const int m = r.m, n = r.n;
    real* w = r.w;
    real* rv1 = r.rv1;
    real g = r.g, scale = r.scale, anorm = r.anorm;
    real f, h, s;
    const int l = i + 1;
    rv1[i] = R(static_cast<double>(scale) * g);
    g = s = scale = 0.0f;
    if (i <= m) {
        double sum = 0.0;
        for (int k = i; k <= m; k++) sum += std::fabs(static_cast<double>(a[k][i]));
        scale = R(sum);
        if (scale != 0.0f) {
            sum = 0.0;
            for (int k = i; k <= m; k++) {
                a[k][i] = R(static_cast<double>(a[k][i]) / scale);
                sum += static_cast<double>(a[k][i]) * a[k][i];
            }
            s = R(sum);
            f = a[i][i];
            g = R(-with_sign(std::sqrt(static_cast<double>(s)), f));
            h = R(static_cast<double>(f) * g - s);
            a[i][i] = R(static_cast<double>(f) - g);
            for (int j = l; j <= n; j++) {
                sum = 0.0;
                for (int k = i; k <= m; k++) sum += static_cast<double>(a[k][i]) * a[k][j];
                s = R(sum);
                if (h == 0.0f) return false;
                f = R(static_cast<double>(s) / h);
                for (int k = i; k <= m; k++)
                    a[k][j] = R(a[k][j] + static_cast<double>(f) * a[k][i]);
            }
            for (int k = i; k <= m; k++) a[k][i] = R(static_cast<double>(a[k][i]) * scale);
        }
    }
    w[i] = R(static_cast<double>(scale) * g);
    g = s = scale = 0.0f;
    if (i <= m && i != n) {
        double sum = 0.0;
        for (int k = l; k <= n; k++) sum += std::fabs(static_cast<double>(a[i][k]));
        scale = R(sum);
        if (scale != 0.0f) {
            sum = 0.0;
            for (int k = l; k <= n; k++) {
                a[i][k] = R(static_cast<double>(a[i][k]) / scale);
                sum += static_cast<double>(a[i][k]) * a[i][k];
            }
            s = R(sum);
            f = a[i][l];
            g = R(-with_sign(std::sqrt(static_cast<double>(s)), f));
            h = R(static_cast<double>(f) * g - s);
            a[i][l] = R(static_cast<double>(f) - g);
            for (int k = l; k <= n; k++) {
                if (h == 0.0f) return false;
                rv1[k] = R(static_cast<double>(a[i][k]) / h);
            }
            for (int j = l; j <= m; j++) {
                sum = 0.0;
                for (int k = l; k <= n; k++) sum += static_cast<double>(a[j][k]) * a[i][k];
                s = R(sum);
                for (int k = l; k <= n; k++) a[j][k] = R(a[j][k] + static_cast<double>(s) * rv1[k]);
            }
            for (int k = l; k <= n; k++) a[i][k] = R(static_cast<double>(a[i][k]) * scale);
        }
    }
    anorm = R(std::max(static_cast<double>(anorm), std::fabs(static_cast<double>(w[i])) +
                                                       std::fabs(static_cast<double>(rv1[i]))));
    r.g = g;
    r.scale = scale;
    r.anorm = anorm;
    r.l = l;
    return true;
}

// Column i (from n down) of the accumulation of the right-hand transformations.
void right_step(reduce_lane& r, int i) {
    real** a = r.a;
    real** v = r.v;
    const real* rv1 = r.rv1;
    const int n = r.n;
    real g = r.g;
    int l = r.l;
    real s;
    if (i < n) {
        if (g != 0.0f) {
            // Double division avoids an underflow of a[i][j] * a[i][l].
            for (int j = l; j <= n; j++) v[j][i] = R((static_cast<double>(a[i][j]) / a[i][l]) / g);
            for (int j = l; j <= n; j++) {
                double sum = 0.0;
                for (int k = l; k <= n; k++) sum += static_cast<double>(a[i][k]) * v[k][j];
                s = R(sum);
                for (int k = l; k <= n; k++)
                    v[k][j] = R(v[k][j] + static_cast<double>(s) * v[k][i]);
            }
        }
        for (int j = l; j <= n; j++) v[i][j] = v[j][i] = 0.0f;
    }
    v[i][i] = 1.0f;
    g = rv1[i];
    l = i;
    r.g = g;
    r.l = l;
}

// Without U only the left-hand accumulation's zero divisor check is kept:
// a[i][i] is read there before any step of the accumulation has written row
// i, so the check sees the same value. False at a zero divisor.
bool left_check(const reduce_lane& r) {
    for (int i = std::min(r.m, r.n); i >= 1; i--)
        if (r.w[i] != 0.0f && i < r.n && r.a[i][i] == 0.0f) return false;
    return true;
}

// The whole reduction and the accumulation of the transformations (U only
// when with_u). Fills anorm; returns svd_zero_divisor at the first exactly
// zero divisor, else svd_converged.
int svd_reduce(real** a, int m, int n, real* w, real** v, real* work, bool with_u,
               real* anorm_out) {
    reduce_lane r;
    start_reduction(r, a, m, n, w, v, work);
    for (int i = 1; i <= n; i++)
        if (!householder_step(r, i)) return svd_zero_divisor;
    for (int i = n; i >= 1; i--) right_step(r, i);
    if (!with_u) {
        if (!left_check(r)) return svd_zero_divisor;
    }
    real g, f, s;
    int l;
    // Accumulation of the left-hand transformations.
    for (int i = std::min(m, n); with_u && i >= 1; i--) {
        l = i + 1;
        g = w[i];
        for (int j = l; j <= n; j++) a[i][j] = 0.0f;
        if (g != 0.0f) {
            g = R(1.0 / g);
            for (int j = l; j <= n; j++) {
                double sum = 0.0;
                for (int k = l; k <= m; k++) sum += static_cast<double>(a[k][i]) * a[k][j];
                s = R(sum);
                if (a[i][i] == 0.0f) return svd_zero_divisor;
                f = R((static_cast<double>(s) / a[i][i]) * g);
                for (int k = i; k <= m; k++)
                    a[k][j] = R(a[k][j] + static_cast<double>(f) * a[k][i]);
            }
            for (int j = i; j <= m; j++) a[j][i] = R(static_cast<double>(a[j][i]) * g);
        } else {
            for (int j = i; j <= m; j++) a[j][i] = 0.0f;
        }
        a[i][i] = R(a[i][i] + 1.0);
    }
    *anorm_out = r.anorm;
    return svd_converged;
}

// Diagonalisation of the bidiagonal form, as a sequence of steps so that two
// decompositions can take turns: each singular value k, from the last, gets
// at most 29 sweeps, and a step is either the start of a sweep (the split
// test, a cancellation, the convergence test and the shift) or one rotation.
// A single product or quotient of two reals is formed in real arithmetic
// here: the double result rounded to a real is the correctly rounded real
// result (53 >= 2 x 24 + 2 bits, so the double rounding is innocuous), and the
// conversions stay out of the rotations' chain of dependent steps.
struct qr_lane {
    real** a; // U, or null when it is not formed
    int m, n;
    real* w;
    real* rv1;
    real** v;
    real anorm;
    int k, its;   // the singular value and its sweep
    int l, nm, j; // the sweep's range and its next rotation
    real c, s, f, x;
    bool in_sweep;
    int outcome; // svd_running until the lane ends
};

void start_lane(qr_lane& q, real** u, int m, int n, real* w, real** v, real* work, real anorm) {
    q.a = u;
    q.m = m;
    q.n = n;
    q.w = w;
    q.rv1 = work;
    q.v = v;
    q.anorm = anorm;
    q.k = n;
    q.its = 1;
    q.in_sweep = false;
    q.outcome = svd_running;
}

// From the start of sweep `its` of singular value k to the first rotation, or
// to the end of the lane.
void begin_sweep(qr_lane& q) {
    real* w = q.w;
    real* rv1 = q.rv1;
    const real anorm = q.anorm;
    for (;;) {
        const int k = q.k;
        if (k < 1) {
            q.outcome = svd_converged;
            return;
        }
        bool cancel = true;
        int nm = 0;
        int l;
        for (l = k; l >= 1; l--) {
            nm = l - 1;
            if (negligible(rv1[l], anorm)) {
                cancel = false;
                break;
            }
            if (negligible(w[nm], anorm)) break;
        }
        if (cancel) {
            // w[nm] is negligible: rotate rv1[l] .. rv1[k] away.
            real c = 0.0f;
            real s = 1.0f;
            for (int i = l; i <= k; i++) {
                const real f = s * rv1[i];
                rv1[i] = c * rv1[i];
                if (negligible(f, anorm)) break;
                const real g = w[i];
                real h = R(hypotenuse(f, g));
                w[i] = h;
                if (h == 0.0f) {
                    q.outcome = svd_zero_divisor;
                    return;
                }
                h = 1.0f / h;
                c = g * h;
                s = -(f * h);
                for (int j = 1; q.a != nullptr && j <= q.m; j++) {
                    const real y = q.a[j][nm];
                    const real z = q.a[j][i];
                    q.a[j][nm] = R(static_cast<double>(y) * c + static_cast<double>(z) * s);
                    q.a[j][i] = R(static_cast<double>(z) * c - static_cast<double>(y) * s);
                }
            }
        }
        const real z = w[k];
        if (l == k) {
            // Converged; a negative singular value is made positive.
            if (z < 0.0f) {
                w[k] = -z;
                for (int j = 1; j <= q.n; j++) q.v[j][k] = -q.v[j][k];
            }
            q.k = k - 1;
            q.its = 1;
            continue;
        }
        if (q.its == 30) {
            q.outcome = svd_no_convergence;
            return;
        }
        // Shift from the bottom 2 x 2 minor.
        const real x = w[l];
        nm = k - 1;
        const real y = w[nm];
        real g = rv1[nm];
        const real h = rv1[k];
        const double hy = static_cast<double>(h) * y;
        if (hy == 0.0) {
            q.outcome = svd_zero_divisor;
            return;
        }
        real f = R(((static_cast<double>(y) - z) * (static_cast<double>(y) + z) +
                    (static_cast<double>(g) - h) * (static_cast<double>(g) + h)) /
                   (2.0 * h * y));
        g = R(hypotenuse(f, 1.0f));
        if (x == 0.0f) {
            q.outcome = svd_zero_divisor;
            return;
        }
        f = R(((static_cast<double>(x) - z) * (static_cast<double>(x) + z) +
               static_cast<double>(h) *
                   ((static_cast<double>(y) / (static_cast<double>(f) + with_sign(g, f))) - h)) /
              x);
        q.f = f;
        q.x = x;
        q.c = 1.0f;
        q.s = 1.0f;
        q.l = l;
        q.nm = nm;
        q.j = l;
        q.in_sweep = true;
        return;
    }
}

// Rotation j of the sweep (the next QR transformation), and the end of the
// sweep after its last rotation.
inline void rotate(qr_lane& q) {
    real* w = q.w;
    real* rv1 = q.rv1;
    real** v = q.v;
    const int j = q.j;
    const int i = j + 1;
    real c = q.c, s = q.s, f = q.f, x = q.x;
    real g = rv1[i];
    real y = w[i];
    real h = s * g;
    g = c * g;
    real z = R(hypotenuse(f, h));
    rv1[j] = z;
    if (z == 0.0f) {
        q.outcome = svd_zero_divisor;
        return;
    }
    c = f / z;
    s = h / z;
    f = R(static_cast<double>(x) * c + static_cast<double>(g) * s);
    g = R(static_cast<double>(g) * c - static_cast<double>(x) * s);
    h = y * s;
    y = y * c;
    for (int jj = 1; jj <= q.n; jj++) {
        const real vx = v[jj][j];
        const real vz = v[jj][i];
        v[jj][j] = R(static_cast<double>(vx) * c + static_cast<double>(vz) * s);
        v[jj][i] = R(static_cast<double>(vz) * c - static_cast<double>(vx) * s);
    }
    z = R(hypotenuse(f, h));
    w[j] = z;
    // A zero hypotenuse leaves the rotation as it was.
    if (z != 0.0f) {
        z = 1.0f / z;
        c = f * z;
        s = h * z;
    }
    f = R(static_cast<double>(c) * g + static_cast<double>(s) * y);
    x = R(static_cast<double>(c) * y - static_cast<double>(s) * g);
    for (int jj = 1; q.a != nullptr && jj <= q.m; jj++) {
        const real ay = q.a[jj][j];
        const real az = q.a[jj][i];
        q.a[jj][j] = R(static_cast<double>(ay) * c + static_cast<double>(az) * s);
        q.a[jj][i] = R(static_cast<double>(az) * c - static_cast<double>(ay) * s);
    }
    if (j < q.nm) {
        q.c = c;
        q.s = s;
        q.f = f;
        q.x = x;
        q.j = j + 1;
        return;
    }
    rv1[q.l] = 0.0f;
    rv1[q.k] = f;
    w[q.k] = x;
    q.its++;
    q.in_sweep = false;
}

inline void step(qr_lane& q) {
    if (q.in_sweep)
        rotate(q);
    else
        begin_sweep(q);
}

} // namespace

int svd_result(int outcome) {
    if (outcome == svd_zero_divisor) silent_exit();
    if (outcome == svd_no_convergence) {
        console_printf("No convergence in 30 SVDCMP iterations\n");
        return 0;
    }
    return 1;
}

int svd_quiet(real** a, int n, real* w, real** v, real* work) {
    real anorm = 0.0f;
    if (svd_reduce(a, n, n, w, v, work, false, &anorm) == svd_zero_divisor) return svd_zero_divisor;
    qr_lane q;
    start_lane(q, nullptr, n, n, w, v, work, anorm);
    while (q.outcome == svd_running) step(q);
    return q.outcome;
}

int SVDCMP(real** a, int m, int n, real* w, real** v, real* work, bool with_u) {
    if (n == 0) fatal_error("n must be positive\n");
    real anorm = 0.0f;
    if (svd_reduce(a, m, n, w, v, work, with_u, &anorm) == svd_zero_divisor) silent_exit();
    qr_lane q;
    start_lane(q, with_u ? a : nullptr, m, n, w, v, work, anorm);
    while (q.outcome == svd_running) step(q);
    return svd_result(q.outcome);
}

void svd_pair(svd_job& first, svd_job& second) {
    svd_job* jobs[2] = {&first, &second};
    // The reductions column by column in turn, then the diagonalisations step
    // by step in turn: the steps of one decomposition depend on each other,
    // those of the two do not, so the processor overlaps them.
    reduce_lane reductions[2];
    for (int t = 0; t < 2; t++) {
        svd_job& d = *jobs[t];
        start_reduction(reductions[t], d.a, d.n, d.n, d.w, d.v, d.work);
        d.outcome = svd_converged;
    }
    const int longest = std::max(first.n, second.n);
    for (int i = 1; i <= longest; i++)
        for (int t = 0; t < 2; t++)
            if (i <= jobs[t]->n && jobs[t]->outcome == svd_converged &&
                !householder_step(reductions[t], i))
                jobs[t]->outcome = svd_zero_divisor;
    for (int step = 0; step < longest; step++)
        for (int t = 0; t < 2; t++)
            if (step < jobs[t]->n && jobs[t]->outcome == svd_converged)
                right_step(reductions[t], jobs[t]->n - step);
    qr_lane lanes[2];
    for (int t = 0; t < 2; t++) {
        svd_job& d = *jobs[t];
        if (d.outcome == svd_converged && !left_check(reductions[t])) d.outcome = svd_zero_divisor;
        start_lane(lanes[t], nullptr, d.n, d.n, d.w, d.v, d.work, reductions[t].anorm);
        if (d.outcome != svd_converged) lanes[t].outcome = d.outcome;
    }
    while (lanes[0].outcome == svd_running && lanes[1].outcome == svd_running) {
        step(lanes[0]);
        step(lanes[1]);
    }
    for (int t = 0; t < 2; t++) {
        while (lanes[t].outcome == svd_running) step(lanes[t]);
        jobs[t]->outcome = lanes[t].outcome;
    }
}
