// SVDCMP: the singular value decomposition a = U diag(w) V^T of a 1-based m x n
// matrix, filling a with U, w with the singular values (unsorted, made
// non-negative) and v with V, by Householder reduction to bidiagonal form,
// accumulation of the right- and left-hand transformations, and implicitly
// shifted QR sweeps with Givens rotations on the bidiagonal form.
//
// Every scalar and matrix element is kept as a real; each assignment is
// evaluated in double and rounded once, and every accumulating loop sums in
// double and rounds when it ends.
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

// Every division by an exactly zero quantity of the decomposition ends the run.
inline void require_nonzero(double divisor) {
    if (divisor == 0.0) silent_exit();
}

// x + N == N at working precision, N the largest |w_i| + |e_i| of the reduction.
inline bool negligible(real x, real anorm) {
    return std::fabs(static_cast<double>(x)) + static_cast<double>(anorm) ==
           static_cast<double>(anorm);
}

} // namespace

int SVDCMP(real** a, int m, int n, real* w, real** v, real* work, bool with_u) {
    if (n == 0) fatal_error("n must be positive\n");
    real* rv1 = work;
    real g = 0.0f, scale = 0.0f, anorm = 0.0f;
    real f, h, s;
    int l = 0;

    // Householder reduction to bidiagonal form.
    for (int i = 1; i <= n; i++) {
        l = i + 1;
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
                    require_nonzero(h);
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
                    require_nonzero(h);
                    rv1[k] = R(static_cast<double>(a[i][k]) / h);
                }
                for (int j = l; j <= m; j++) {
                    sum = 0.0;
                    for (int k = l; k <= n; k++) sum += static_cast<double>(a[j][k]) * a[i][k];
                    s = R(sum);
                    for (int k = l; k <= n; k++)
                        a[j][k] = R(a[j][k] + static_cast<double>(s) * rv1[k]);
                }
                for (int k = l; k <= n; k++) a[i][k] = R(static_cast<double>(a[i][k]) * scale);
            }
        }
        anorm = R(std::max(static_cast<double>(anorm), std::fabs(static_cast<double>(w[i])) +
                                                           std::fabs(static_cast<double>(rv1[i]))));
    }

    // Accumulation of the right-hand transformations.
    for (int i = n; i >= 1; i--) {
        if (i < n) {
            if (g != 0.0f) {
                // Double division avoids an underflow of a[i][j] * a[i][l].
                for (int j = l; j <= n; j++)
                    v[j][i] = R((static_cast<double>(a[i][j]) / a[i][l]) / g);
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
    }

    // Accumulation of the left-hand transformations. Without U only its zero
    // divisor check is kept: a[i][i] is read there before any step of the
    // accumulation has written row i, so the check sees the same value.
    if (!with_u) {
        for (int i = std::min(m, n); i >= 1; i--)
            if (w[i] != 0.0f && i < n) require_nonzero(a[i][i]);
    }
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
                require_nonzero(a[i][i]);
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

    // Diagonalisation of the bidiagonal form: each singular value k, from the
    // last, gets at most 29 sweeps. A single product or quotient of two reals
    // is formed in real arithmetic here: the double result rounded to a real is
    // the correctly rounded real result (53 >= 2 x 24 + 2 bits, so the double
    // rounding is innocuous), and the conversions stay out of the rotations'
    // chain of dependent steps.
    for (int k = n; k >= 1; k--) {
        for (int its = 1; its <= 30; its++) {
            bool cancel = true;
            int nm = 0;
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
                s = 1.0f;
                for (int i = l; i <= k; i++) {
                    f = s * rv1[i];
                    rv1[i] = c * rv1[i];
                    if (negligible(f, anorm)) break;
                    g = w[i];
                    h = R(hypotenuse(f, g));
                    w[i] = h;
                    require_nonzero(h);
                    h = 1.0f / h;
                    c = g * h;
                    s = -(f * h);
                    for (int j = 1; with_u && j <= m; j++) {
                        const real y = a[j][nm];
                        const real z = a[j][i];
                        a[j][nm] = R(static_cast<double>(y) * c + static_cast<double>(z) * s);
                        a[j][i] = R(static_cast<double>(z) * c - static_cast<double>(y) * s);
                    }
                }
            }
            real z = w[k];
            if (l == k) {
                // Converged; a negative singular value is made positive.
                if (z < 0.0f) {
                    w[k] = -z;
                    for (int j = 1; j <= n; j++) v[j][k] = -v[j][k];
                }
                break;
            }
            if (its == 30) {
                console_printf("No convergence in 30 SVDCMP iterations\n");
                return 0;
            }
            // Shift from the bottom 2 x 2 minor.
            real x = w[l];
            nm = k - 1;
            real y = w[nm];
            g = rv1[nm];
            h = rv1[k];
            const double hy = static_cast<double>(h) * y;
            require_nonzero(hy);
            f = R(((static_cast<double>(y) - z) * (static_cast<double>(y) + z) +
                   (static_cast<double>(g) - h) * (static_cast<double>(g) + h)) /
                  (2.0 * h * y));
            g = R(hypotenuse(f, 1.0f));
            require_nonzero(x);
            f = R(
                ((static_cast<double>(x) - z) * (static_cast<double>(x) + z) +
                 static_cast<double>(h) *
                     ((static_cast<double>(y) / (static_cast<double>(f) + with_sign(g, f))) - h)) /
                x);
            // Next QR transformation.
            real c = 1.0f;
            s = 1.0f;
            for (int j = l; j <= nm; j++) {
                const int i = j + 1;
                g = rv1[i];
                y = w[i];
                h = s * g;
                g = c * g;
                z = R(hypotenuse(f, h));
                rv1[j] = z;
                require_nonzero(z);
                c = f / z;
                s = h / z;
                f = R(static_cast<double>(x) * c + static_cast<double>(g) * s);
                g = R(static_cast<double>(g) * c - static_cast<double>(x) * s);
                h = y * s;
                y = y * c;
                for (int jj = 1; jj <= n; jj++) {
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
                for (int jj = 1; with_u && jj <= m; jj++) {
                    const real ay = a[jj][j];
                    const real az = a[jj][i];
                    a[jj][j] = R(static_cast<double>(ay) * c + static_cast<double>(az) * s);
                    a[jj][i] = R(static_cast<double>(az) * c - static_cast<double>(ay) * s);
                }
            }
            rv1[l] = 0.0f;
            rv1[k] = f;
            w[k] = x;
        }
    }
    return 1;
}
