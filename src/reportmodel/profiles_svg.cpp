// write_profiles_svg. The SVG is written by hand: a heat map with labelled
// rows, text in its cells and a legend is a few dozen elements, which no
// packaged C++ library lays out better than these lines do (and Graphviz,
// which draws the tree, has no notion of a grid). Text widths are estimated
// (xml_text.h), so every column is sized to its longest text.
#include "reportmodel/profiles_svg.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

#include "reportmodel/model_rules.h"
#include "reportmodel/node_association.h"
#include "reportmodel/rate_colour.h"
#include "reportmodel/xml_text.h"

namespace {

const double margin = 16, cell_w = 54, cell_h = 26, gap = 14;
const double font = 12, small = 11;
// A pairwise model's odds ratio matrix: its cells and their text.
const double pair_w = 36, pair_h = 18, tiny = 10;
const double max_path_width = 560; // a longer path is cut short, whole in its tooltip

std::string num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

std::string fixed(double v, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string s;
    for (size_t i = 0; i < parts.size(); i++) s += (i > 0 ? ", " : "") + parts[i];
    return s;
}

// The text cut to fit the width, ending in an ellipsis when cut (at a UTF-8
// character boundary).
std::string fitted_text(const std::string& text, double width, double size) {
    if (text_width(text, size) <= width) return text;
    std::string s = text;
    while (!s.empty() && text_width(s + "\u2026", size) > width) {
        s.pop_back();
        while (!s.empty() && (static_cast<unsigned char>(s.back()) & 0xc0) == 0x80) s.pop_back();
        if (!s.empty() && static_cast<unsigned char>(s.back()) >= 0xc0) s.pop_back();
    }
    return s + "\u2026";
}

struct row {
    std::string label; // "node 3, 115 cases"
    std::string path;  // the conditions that lead to it
    const model_node_entry* node;
    double ratio; // odds ratio, NaN when there is none
};

} // namespace

void write_profiles_svg(std::ostream& out, const fitted_model& model, const subtree_view& view,
                        const std::string& name) {
    const size_t q = model.outcomes.size();
    const bool pairwise = model.node_model_kind == "pairwise";
    std::vector<row> rows;
    rows.push_back({"all subjects, " + std::to_string(model.nodes[0].cases) + " cases", "",
                    &model.nodes[0], pairwise ? NAN : odds_ratio(model, 0)});
    for (int t : view.terminal_nodes) {
        const model_node_entry& e = model.nodes[static_cast<size_t>(t)];
        rows.push_back({"node " + std::to_string(t) + ", " + std::to_string(e.cases) +
                            (e.cases == 1 ? " case" : " cases"),
                        joined(path_conditions(model, t)), &e,
                        pairwise ? NAN : odds_ratio(model, t)});
    }

    // Columns: labels, cells, odds ratio (common model) or the triangle of
    // pairwise odds ratios, path. The triangle has a row for each outcome
    // but the last and a column for each but the first; each row's name
    // stands left of its first cell, in the blank lower half where it can.
    const size_t pair_rows = pairwise && q >= 2 ? q - 1 : 0;
    double pair_label_w = 0;
    for (size_t a = 0; a < pair_rows; a++)
        pair_label_w = std::max(pair_label_w, text_width(model.outcomes[a], tiny) + 4 - a * pair_w);
    const double row_h = std::max(cell_h, pair_rows * pair_h + 8);
    double label_w = 0, path_w = 0, head_h = 0;
    for (const row& r : rows) {
        label_w = std::max(label_w, text_width(r.label, font));
        path_w = std::max(path_w, std::min(max_path_width, text_width(r.path, small)));
    }
    // Outcome names stand upright when they fit over their column, else slanted.
    bool slanted = false;
    for (const std::string& o : model.outcomes) {
        const double w = text_width(o, font);
        slanted = slanted || w > cell_w - 4;
        head_h = std::max(head_h, w);
    }
    head_h = slanted ? head_h * std::sin(0.7) + 14 : 20;
    bool pair_slanted = false;
    double pair_head_w = 0;
    for (size_t b = 1; b <= pair_rows; b++) {
        const double w = text_width(model.outcomes[b], small);
        pair_slanted = pair_slanted || w > pair_w - 4;
        pair_head_w = std::max(pair_head_w, w);
    }
    if (pair_slanted) head_h = std::max(head_h, pair_head_w * std::sin(0.7) + 14);
    const double ratio_w = pairwise ? (pair_rows > 0 ? pair_label_w + pair_rows * pair_w : 0) : 76;
    const double x_cells = margin + label_w + gap;
    const double x_ratio = x_cells + q * cell_w + gap;
    const double x_pairs = x_ratio + pair_label_w; // the triangle's first column
    const double x_path = x_ratio + ratio_w + (ratio_w > 0 ? gap : 0);
    const double title_h = 46, legend_h = 64;
    const double y_head = margin + title_h;
    const double y_rows = y_head + head_h + 6;
    const double rows_h = rows.size() * row_h + 8; // 8: the gap below the first row
    const size_t n_terminal = view.terminal_nodes.size();
    const std::string title = "Outcome profiles: subtree " + std::to_string(view.k) + " of " +
                              std::to_string(model.subtrees.size()) + ", " +
                              std::to_string(n_terminal) +
                              (n_terminal == 1 ? " terminal node" : " terminal nodes");
    std::string subtitle = view.chosen_by +
                           ". Each cell: the observed rate of the outcome in the node "
                           "(darker is higher)";
    subtitle[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(subtitle[0])));
    const std::string footnote =
        pairwise ? (pair_rows > 0 ? "odds ratio of a pair: e^omega of the outcomes in its row and "
                                    "column, the factor by which the odds of either change "
                                    "when the other is positive (colour clamped at 0.05 and 20)"
                                  : "")
                 : "odds ratio: e^omega, the factor by which the odds of any outcome change "
                   "for each other positive outcome";
    // The legends: the rates' under the cells, the odds ratios' to its right.
    const double lw = 200;
    const std::string pair_caption = "odds ratio of a pair";
    const double x_pair_legend =
        std::max(x_pairs, x_cells + lw + 10 + text_width("observed rate", small) + 3 * gap);
    const double pair_legend_end =
        pair_rows > 0 ? x_pair_legend + lw + 10 + text_width(pair_caption, small) + margin : 0;
    const double width =
        std::max({x_path + path_w + margin, margin + text_width(title, 15) + margin,
                  margin + text_width(subtitle, small) + margin,
                  margin + text_width(footnote, 10) + margin, pair_legend_end, 360.0});
    const double height = y_rows + rows_h + legend_h + 14;

    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << num(width) << "\" height=\""
        << num(height) << "\" viewBox=\"0 0 " << num(width) << " " << num(height)
        << "\" font-family=\"Helvetica, Arial, sans-serif\" font-size=\"" << font << "\">\n"
        << "  <rect x=\"0\" y=\"0\" width=\"" << num(width) << "\" height=\"" << num(height)
        << "\" fill=\"white\"/>\n"
        << "  <text x=\"" << margin << "\" y=\"" << margin + 16 << "\" font-size=\"15\">"
        << xml_escaped(title) << "</text>\n"
        << "  <text x=\"" << margin << "\" y=\"" << margin + 34 << "\" font-size=\"" << small
        << "\" fill=\"#444444\">" << xml_escaped(subtitle) << "</text>\n";

    // Column heads.
    const double y_base = y_rows - 8;
    for (size_t j = 0; j < q; j++) {
        const double cx = x_cells + (j + 0.5) * cell_w;
        if (slanted)
            out << "  <text x=\"" << num(cx - 6) << "\" y=\"" << num(y_base)
                << "\" transform=\"rotate(-40 " << num(cx - 6) << " " << num(y_base) << ")\">"
                << xml_escaped(model.outcomes[j]) << "</text>\n";
        else
            out << "  <text x=\"" << num(cx) << "\" y=\"" << num(y_base)
                << "\" text-anchor=\"middle\">" << xml_escaped(model.outcomes[j]) << "</text>\n";
    }
    if (!pairwise)
        out << "  <text x=\"" << num(x_ratio + ratio_w / 2) << "\" y=\"" << num(y_base)
            << "\" text-anchor=\"middle\" font-size=\"" << small << "\">odds ratio</text>\n";
    for (size_t b = 1; b <= pair_rows; b++) {
        const double cx = x_pairs + (b - 0.5) * pair_w;
        if (pair_slanted)
            out << "  <text x=\"" << num(cx - 4) << "\" y=\"" << num(y_base)
                << "\" transform=\"rotate(-40 " << num(cx - 4) << " " << num(y_base)
                << ")\" font-size=\"" << small << "\">" << xml_escaped(model.outcomes[b])
                << "</text>\n";
        else
            out << "  <text x=\"" << num(cx) << "\" y=\"" << num(y_base)
                << "\" text-anchor=\"middle\" font-size=\"" << small << "\">"
                << xml_escaped(model.outcomes[b]) << "</text>\n";
    }
    out << "  <text x=\"" << num(x_path) << "\" y=\"" << num(y_base) << "\" font-size=\"" << small
        << "\">path from the root</text>\n";

    // Rows: the whole data first, then a small gap and the terminal nodes.
    for (size_t i = 0; i < rows.size(); i++) {
        const row& r = rows[i];
        const double y = y_rows + i * row_h + (i > 0 ? 8 : 0);
        const double mid = y + row_h / 2 + 4;
        out << "  <text x=\"" << num(margin + label_w) << "\" y=\"" << num(mid)
            << "\" text-anchor=\"end\"" << (i == 0 ? " font-style=\"italic\"" : "") << ">"
            << xml_escaped(r.label) << "</text>\n";
        for (size_t j = 0; j < q; j++) {
            const double rate = r.node->rate[j];
            const double x = x_cells + j * cell_w;
            out << "  <rect x=\"" << num(x) << "\" y=\"" << num(y) << "\" width=\"" << cell_w - 2
                << "\" height=\"" << row_h - 2 << "\" fill=\"" << rate_colour(rate) << "\"><title>"
                << xml_escaped(model.outcomes[j]) << ": " << r.node->positives[j] << " of "
                << r.node->cases << " positive</title></rect>\n"
                << "  <text x=\"" << num(x + (cell_w - 2) / 2) << "\" y=\"" << num(mid - 1)
                << "\" text-anchor=\"middle\" fill=\"" << rate_ink(rate) << "\">" << fixed(rate, 2)
                << "</text>\n";
        }
        if (!pairwise)
            out << "  <text x=\"" << num(x_ratio + ratio_w / 2) << "\" y=\"" << num(mid)
                << "\" text-anchor=\"middle\">" << (std::isnan(r.ratio) ? "-" : fixed(r.ratio, 2))
                << "</text>\n";
        const double y_pairs = y + (row_h - 2 - pair_rows * pair_h) / 2;
        for (size_t a = 0; a < pair_rows; a++) {
            const double ya = y_pairs + a * pair_h;
            out << "  <text x=\"" << num(x_pairs + a * pair_w - 3) << "\" y=\""
                << num(ya + pair_h / 2 + 2.5) << "\" text-anchor=\"end\" font-size=\"" << tiny
                << "\" fill=\"#444444\">" << xml_escaped(model.outcomes[a]) << "</text>\n";
            for (size_t b = a + 1; b < q; b++) {
                const double ratio = pair_odds_ratio(model, r.node->number, static_cast<int>(a),
                                                     static_cast<int>(b));
                const std::string text = odds_ratio_text(ratio);
                const double x = x_pairs + (b - 1) * pair_w;
                out << "  <rect x=\"" << num(x) << "\" y=\"" << num(ya) << "\" width=\""
                    << pair_w - 2 << "\" height=\"" << pair_h - 2 << "\" fill=\""
                    << odds_ratio_colour(ratio)
                    << "\" stroke=\"#d0d0d0\" stroke-width=\"0.5\"><title>"
                    << xml_escaped(model.outcomes[a]) << " and " << xml_escaped(model.outcomes[b])
                    << ": odds ratio " << xml_escaped(text) << "</title></rect>\n";
                if (text_width(text, tiny) <= pair_w - 5)
                    out << "  <text x=\"" << num(x + (pair_w - 2) / 2) << "\" y=\""
                        << num(ya + pair_h / 2 + 2.5) << "\" text-anchor=\"middle\" font-size=\""
                        << tiny << "\" fill=\"" << odds_ratio_ink(ratio) << "\">"
                        << xml_escaped(text) << "</text>\n";
            }
        }
        if (!r.path.empty())
            out << "  <text x=\"" << num(x_path) << "\" y=\"" << num(mid) << "\" font-size=\""
                << small << "\" fill=\"#333333\"><title>" << xml_escaped(r.path) << "</title>"
                << xml_escaped(fitted_text(r.path, max_path_width, small)) << "</text>\n";
    }

    // Legend: the colour scale from 0 to 1.
    const double ly = y_rows + rows_h + 14;
    out << "  <defs><linearGradient id=\"rates\">";
    for (int s = 0; s <= 8; s++)
        out << "<stop offset=\"" << fixed(s / 8.0, 3) << "\" stop-color=\"" << rate_colour(s / 8.0)
            << "\"/>";
    out << "</linearGradient></defs>\n"
        << "  <rect x=\"" << num(x_cells) << "\" y=\"" << num(ly) << "\" width=\"" << lw
        << "\" height=\"10\" fill=\"url(#rates)\" stroke=\"#999999\" stroke-width=\"0.5\"/>\n";
    for (int s = 0; s <= 4; s++)
        out << "  <text x=\"" << num(x_cells + lw * s / 4) << "\" y=\"" << num(ly + 24)
            << "\" text-anchor=\"middle\" font-size=\"10\">" << fixed(s / 4.0, 2) << "</text>\n";
    out << "  <text x=\"" << num(x_cells + lw + 10) << "\" y=\"" << num(ly + 9) << "\" font-size=\""
        << small << "\">observed rate</text>\n";
    // Legend: the odds ratios' scale, even in the logarithm from e^-3 to e^3.
    if (pair_rows > 0) {
        out << "  <defs><linearGradient id=\"odds\">";
        for (int s = 0; s <= 6; s++)
            out << "<stop offset=\"" << fixed(s / 6.0, 3) << "\" stop-color=\""
                << odds_ratio_colour(std::exp(s - 3.0)) << "\"/>";
        out << "</linearGradient></defs>\n"
            << "  <rect x=\"" << num(x_pair_legend) << "\" y=\"" << num(ly) << "\" width=\"" << lw
            << "\" height=\"10\" fill=\"url(#odds)\" stroke=\"#999999\" stroke-width=\"0.5\"/>\n";
        for (const char* tick : {"0.05", "0.2", "1", "5", "20"})
            out << "  <text x=\"" << num(x_pair_legend + lw * (std::log(std::stod(tick)) + 3) / 6)
                << "\" y=\"" << num(ly + 24) << "\" text-anchor=\"middle\" font-size=\"10\">"
                << tick << "</text>\n";
        out << "  <text x=\"" << num(x_pair_legend + lw + 10) << "\" y=\"" << num(ly + 9)
            << "\" font-size=\"" << small << "\">" << pair_caption << "</text>\n";
    }
    if (!footnote.empty())
        out << "  <text x=\"" << margin << "\" y=\"" << num(ly + 44) << "\" font-size=\"10\" "
            << "fill=\"#444444\">" << footnote << "</text>\n";
    out << "  <text x=\"" << margin << "\" y=\"" << num(height - 8)
        << "\" font-size=\"9\" fill=\"#888888\">" << xml_escaped(name) << "</text>\n"
        << "</svg>\n";
}
