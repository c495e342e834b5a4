// The cross-validation curve as a self-contained SVG picture: the mean score of
// every subtree with standard-error bars against its number of terminal nodes, the
// one-standard-error limit dashed, and the two chosen subtrees ringed.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "report/report.h"

namespace {

const double width = 640, height = 470;
const double left_edge = 80, right_edge = 620, top_edge = 50, bottom_edge = 360;

std::string num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

std::string xml_escape(const std::string& s) {
    std::string e;
    for (char c : s) {
        if (c == '&')
            e += "&amp;";
        else if (c == '<')
            e += "&lt;";
        else if (c == '>')
            e += "&gt;";
        else if (c == '"')
            e += "&quot;";
        else
            e += c;
    }
    return e;
}

// A step of 1, 2 or 5 times a power of ten giving about `count` intervals over span.
double nice_step(double span, int count) {
    if (!(span > 0)) return 1;
    double raw = span / count;
    double power = std::pow(10.0, std::floor(std::log10(raw)));
    double f = raw / power;
    double m = f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10;
    return m * power;
}

std::string tick_label(double v, double step) {
    char buf[32];
    int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step)));
    std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(v) < step * 1e-6 ? 0.0 : v);
    return buf;
}

} // namespace

void write_cv_plot(std::ostream& out, const report_file& rep, const cv_summary& sum) {
    const int k = static_cast<int>(rep.subtrees.size());
    const bool bars = sum.repetitions > 1;

    // Data ranges, padded so that points and bars stay off the frame.
    double x_lo = 1e300, x_hi = -1e300, y_lo = 1e300, y_hi = -1e300;
    for (int j = 0; j < k; j++) {
        if (!std::isfinite(sum.mean[j])) continue;
        double se = bars ? sum.se[j] : 0;
        x_lo = std::min(x_lo, static_cast<double>(sum.terminal_nodes[j]));
        x_hi = std::max(x_hi, static_cast<double>(sum.terminal_nodes[j]));
        y_lo = std::min(y_lo, sum.mean[j] - se);
        y_hi = std::max(y_hi, sum.mean[j] + se);
    }
    if (x_lo > x_hi) x_lo = x_hi = 1, y_lo = y_hi = 0;
    if (x_hi - x_lo < 2) x_lo -= 1, x_hi += 1;
    if (y_hi - y_lo < 1e-9) y_lo -= 1, y_hi += 1;
    const double x_pad = 0.05 * (x_hi - x_lo), y_pad = 0.08 * (y_hi - y_lo);
    x_lo -= x_pad, x_hi += x_pad, y_lo -= y_pad, y_hi += y_pad;
    auto px = [&](double x) {
        return left_edge + (x - x_lo) / (x_hi - x_lo) * (right_edge - left_edge);
    };
    auto py = [&](double y) {
        return bottom_edge - (y - y_lo) / (y_hi - y_lo) * (bottom_edge - top_edge);
    };

    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" viewBox=\"0 0 " << width << " " << height
        << "\" font-family=\"Helvetica, Arial, sans-serif\" font-size=\"12\">\n"
        << "  <rect x=\"0\" y=\"0\" width=\"" << width << "\" height=\"" << height
        << "\" fill=\"white\"/>\n"
        << "  <text x=\"" << width / 2 << "\" y=\"24\" text-anchor=\"middle\" font-size=\"15\">"
        << "Cross-validation of the pruned subtrees (" << sum.repetitions
        << (sum.repetitions == 1 ? " repetition" : " repetitions") << ")</text>\n";

    // Frame, ticks and grid.
    out << "  <rect x=\"" << left_edge << "\" y=\"" << top_edge << "\" width=\""
        << right_edge - left_edge << "\" height=\"" << bottom_edge - top_edge
        << "\" fill=\"none\" stroke=\"black\"/>\n";
    const double xs = std::max(1.0, nice_step(x_hi - x_lo, 8));
    // Terminal counts start at 1, so no tick is drawn below it.
    for (double x = std::max(1.0, std::ceil(x_lo / xs) * xs); x <= x_hi; x += xs) {
        out << "  <line x1=\"" << num(px(x)) << "\" y1=\"" << bottom_edge << "\" x2=\""
            << num(px(x)) << "\" y2=\"" << bottom_edge + 5 << "\" stroke=\"black\"/>\n"
            << "  <text x=\"" << num(px(x)) << "\" y=\"" << bottom_edge + 19
            << "\" text-anchor=\"middle\">" << tick_label(x, xs) << "</text>\n";
    }
    const double ys = nice_step(y_hi - y_lo, 6);
    for (double y = std::ceil(y_lo / ys) * ys; y <= y_hi; y += ys) {
        out << "  <line x1=\"" << left_edge << "\" y1=\"" << num(py(y)) << "\" x2=\"" << right_edge
            << "\" y2=\"" << num(py(y)) << "\" stroke=\"#e6e6e6\"/>\n"
            << "  <line x1=\"" << left_edge - 5 << "\" y1=\"" << num(py(y)) << "\" x2=\""
            << left_edge << "\" y2=\"" << num(py(y)) << "\" stroke=\"black\"/>\n"
            << "  <text x=\"" << left_edge - 8 << "\" y=\"" << num(py(y) + 4)
            << "\" text-anchor=\"end\">" << tick_label(y, ys) << "</text>\n";
    }
    out << "  <text x=\"" << (left_edge + right_edge) / 2 << "\" y=\"" << bottom_edge + 42
        << "\" text-anchor=\"middle\">number of terminal nodes</text>\n"
        << "  <text x=\"18\" y=\"" << (top_edge + bottom_edge) / 2
        << "\" text-anchor=\"middle\" transform=\"rotate(-90 18 " << (top_edge + bottom_edge) / 2
        << ")\">mean cross-validated score (lower is better)</text>\n";

    // One-standard-error limit.
    if (sum.best >= 0 && bars) {
        double limit = sum.mean[sum.best] + sum.se[sum.best];
        out << "  <line x1=\"" << left_edge << "\" y1=\"" << num(py(limit)) << "\" x2=\""
            << right_edge << "\" y2=\"" << num(py(limit))
            << "\" stroke=\"#1f5fbf\" stroke-dasharray=\"6 4\"/>\n";
    }

    // The curve in order of size, bars, then points.
    std::vector<int> order;
    for (int j = 0; j < k; j++)
        if (std::isfinite(sum.mean[j])) order.push_back(j);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return sum.terminal_nodes[a] < sum.terminal_nodes[b]; });
    if (!order.empty()) {
        out << "  <polyline fill=\"none\" stroke=\"#444444\" stroke-width=\"1.5\" points=\"";
        for (int j : order)
            out << num(px(sum.terminal_nodes[j])) << "," << num(py(sum.mean[j])) << " ";
        out << "\"/>\n";
    }
    for (int j : order) {
        double x = px(sum.terminal_nodes[j]);
        if (bars && sum.se[j] > 0) {
            double y1 = py(sum.mean[j] - sum.se[j]), y2 = py(sum.mean[j] + sum.se[j]);
            out << "  <path d=\"M" << num(x) << " " << num(y1) << " V" << num(y2) << " M"
                << num(x - 4) << " " << num(y1) << " H" << num(x + 4) << " M" << num(x - 4) << " "
                << num(y2) << " H" << num(x + 4) << "\" stroke=\"#444444\"/>\n";
        }
        out << "  <circle cx=\"" << num(x) << "\" cy=\"" << num(py(sum.mean[j]))
            << "\" r=\"3.5\" fill=\"black\"><title>subtree " << j + 1 << ": "
            << sum.terminal_nodes[j] << " terminal nodes, mean " << num(sum.mean[j])
            << "</title></circle>\n";
    }
    if (sum.best >= 0)
        out << "  <circle cx=\"" << num(px(sum.terminal_nodes[sum.best])) << "\" cy=\""
            << num(py(sum.mean[sum.best]))
            << "\" r=\"9\" fill=\"none\" stroke=\"#d62728\" stroke-width=\"2\"/>\n";
    if (sum.one_se >= 0)
        out << "  <rect x=\"" << num(px(sum.terminal_nodes[sum.one_se]) - 7) << "\" y=\""
            << num(py(sum.mean[sum.one_se]) - 7)
            << "\" width=\"14\" height=\"14\" fill=\"none\" stroke=\"#1f5fbf\" "
               "stroke-width=\"2\"/>\n";

    // Legend, in two rows below the axis title so that it never covers the curve.
    const double lx = left_edge, ly = bottom_edge + 66;
    if (sum.best >= 0)
        out << "  <circle cx=\"" << lx + 6 << "\" cy=\"" << ly - 4
            << "\" r=\"6\" fill=\"none\" stroke=\"#d62728\" stroke-width=\"2\"/>\n"
            << "  <text x=\"" << lx + 20 << "\" y=\"" << ly << "\">lowest mean: subtree "
            << sum.best + 1 << " (" << sum.terminal_nodes[sum.best] << " terminal nodes)</text>\n";
    if (sum.one_se >= 0)
        out << "  <rect x=\"" << lx + 280 << "\" y=\"" << ly - 10
            << "\" width=\"12\" height=\"12\" fill=\"none\" stroke=\"#1f5fbf\" "
               "stroke-width=\"2\"/>\n"
            << "  <text x=\"" << lx + 300 << "\" y=\"" << ly << "\">1-SE rule: subtree "
            << sum.one_se + 1 << " (" << sum.terminal_nodes[sum.one_se]
            << " terminal nodes)</text>\n";
    if (bars)
        out << "  <line x1=\"" << lx - 2 << "\" y1=\"" << ly + 16 << "\" x2=\"" << lx + 14
            << "\" y2=\"" << ly + 16 << "\" stroke=\"#1f5fbf\" stroke-dasharray=\"6 4\"/>\n"
            << "  <text x=\"" << lx + 20 << "\" y=\"" << ly + 20
            << "\">lowest mean + 1 SE; bars: mean &#177; 1 SE over the repetitions</text>\n";
    out << "  <text x=\"" << right_edge << "\" y=\"" << height - 8
        << "\" text-anchor=\"end\" font-size=\"10\" fill=\"#666666\">" << xml_escape(rep.name)
        << "</text>\n";
    out << "</svg>\n";
}
