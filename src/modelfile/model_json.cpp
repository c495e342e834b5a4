// model_to_json_text, model_from_json_text, read_model_file: the fitted model
// to and from the model file's JSON. Reals are written as the exact value of
// the single-precision number korva stored (the shortest decimal that reads
// back as the same double), so a model read back applies the same cuts.
#include "modelfile/model_json.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "modelfile/model_report.h"
#include "numeric/printable_text.h"

using json = nlohmann::ordered_json;

namespace {

// ---- writing ----

json real_value(float v) {
    if (!std::isfinite(v)) return nullptr;
    return static_cast<double>(v);
}

json real_list(const std::vector<float>& values) {
    json list = json::array();
    for (float v : values) list.push_back(real_value(v));
    return list;
}

json number_or_null(double v) {
    if (!std::isfinite(v)) return nullptr;
    return v;
}

std::string delimiter_text(char d) {
    return d == '\t' ? "\t" : std::string(1, d);
}

json column_json(const column_description& col) {
    json c = {{"name", col.name}, {"kind", column_kind_name(col.kind)}};
    if (col.kind == column_outcome) {
        c["positives"] = col.positives;
        return c;
    }
    if (col.kind == column_ignored) return c;
    c["inferred"] = col.inferred;
    c["missing"] = col.missing;
    if (col.observed) {
        c["smallest"] = col.smallest;
        c["largest"] = col.largest;
    }
    if (col.kind == column_nominal) {
        c["categories"] = col.categories;
        if (!col.labels.empty()) c["labels"] = col.labels;
    }
    return c;
}

json split_json(const fitted_model& m, const model_split& s) {
    const column_description& col = m.data.columns[static_cast<size_t>(s.column)];
    json j = {{"column", col.name},
              {"column_number", s.column + 1},
              {"covariate", s.covariate},
              {"kind", s.nominal ? "nominal" : "ordered"},
              {"split_value", real_value(s.split_value)},
              {"missing", s.missing_go}};
    if (s.nominal) {
        j["left_categories"] = s.left_categories;
        j["right_categories"] = s.right_categories;
        if (!col.labels.empty()) {
            json left = json::array(), right = json::array();
            for (int k : s.left_categories)
                if (k < static_cast<int>(col.labels.size())) left.push_back(col.labels[k]);
            for (int k : s.right_categories)
                if (k < static_cast<int>(col.labels.size())) right.push_back(col.labels[k]);
            j["left_labels"] = left;
            j["right_labels"] = right;
        }
    } else {
        j["cut"] = real_value(s.cut);
        j["missing_copy"] = s.missing_copy;
    }
    return j;
}

json node_json(const fitted_model& m, const model_node_entry& e) {
    json n = {{"node", e.number},         {"parent", e.parent < 0 ? json(nullptr) : json(e.parent)},
              {"left", e.left},           {"right", e.right},
              {"cases", e.cases},         {"value", real_value(e.value)},
              {"positives", e.positives}, {"pair_total", e.pair_total}};
    json rates = json::array();
    for (double r : e.rate) rates.push_back(r);
    n["rates"] = rates;
    n["split"] = e.has_split ? split_json(m, e.split) : json(nullptr);
    const fitted_node_model& f = e.model;
    json model = {{"fitted", f.fitted},
                  {"scored_by", f.model_node < 0 ? json(nullptr) : json(f.model_node)},
                  {"retained", f.retained},
                  {"pure", f.pure},
                  {"theta", real_list(f.theta)},
                  {"omega", real_value(f.omega)},
                  {"normaliser", real_value(f.normaliser)}};
    if (!f.omega_pairs.empty()) model["omega_pairs"] = real_list(f.omega_pairs);
    if (!f.pair_params.empty()) {
        json params = json::array();
        for (double v : f.pair_params) params.push_back(number_or_null(v));
        model["pair_params"] = params;
        model["log_normaliser"] = number_or_null(f.log_normaliser);
    }
    json probability = json::array();
    for (double p : f.probability) probability.push_back(number_or_null(p));
    model["probability"] = probability;
    n["model"] = model;
    return n;
}

// ---- reading ----

struct model_error : std::runtime_error {
    std::string where;
    model_error(const std::string& what, std::string at)
        : std::runtime_error(what), where(std::move(at)) {}
};

[[noreturn]] void fail(const std::string& what, const std::string& at) {
    throw model_error(what, at);
}

const json& member(const json& object, const char* key, const std::string& at) {
    if (!object.is_object()) fail("expected an object", at);
    auto it = object.find(key);
    if (it == object.end()) fail(std::string("missing member \"") + key + "\"", at);
    return *it;
}

long long integer(const json& v, const std::string& at, long long lo, long long hi) {
    if (!v.is_number_integer()) fail("expected a whole number", at);
    const long long x = v.get<long long>();
    if (x < lo || x > hi)
        fail("value " + std::to_string(x) + " out of range (" + std::to_string(lo) + ".." +
                 std::to_string(hi) + ")",
             at);
    return x;
}

int int_member(const json& o, const char* key, const std::string& at, long long lo, long long hi) {
    return static_cast<int>(integer(member(o, key, at), at + "/" + key, lo, hi));
}

double real_of(const json& v, const std::string& at, bool allow_null) {
    if (v.is_null() && allow_null) return NAN;
    if (!v.is_number()) fail("expected a number", at);
    return v.get<double>();
}

float stored_real(const json& v, const std::string& at, bool allow_null = false) {
    return static_cast<float>(real_of(v, at, allow_null));
}

std::string text_member(const json& o, const char* key, const std::string& at) {
    const json& v = member(o, key, at);
    if (!v.is_string()) fail("expected a string", at + "/" + key);
    return v.get<std::string>();
}

bool bool_member(const json& o, const char* key, const std::string& at) {
    const json& v = member(o, key, at);
    if (!v.is_boolean()) fail("expected true or false", at + "/" + key);
    return v.get<bool>();
}

const json& array_member(const json& o, const char* key, const std::string& at,
                         long long size = -1) {
    const json& v = member(o, key, at);
    if (!v.is_array()) fail("expected an array", at + "/" + key);
    if (size >= 0 && static_cast<long long>(v.size()) != size)
        fail("expected " + std::to_string(size) + " entries, found " + std::to_string(v.size()),
             at + "/" + key);
    return v;
}

std::vector<int> int_list(const json& a, const std::string& at, long long lo, long long hi) {
    std::vector<int> out;
    for (size_t i = 0; i < a.size(); i++)
        out.push_back(static_cast<int>(integer(a[i], at + "/" + std::to_string(i), lo, hi)));
    return out;
}

column_kind kind_named(const std::string& name, const std::string& at) {
    for (column_kind k :
         {column_continuous, column_ordinal, column_nominal, column_outcome, column_ignored})
        if (name == column_kind_name(k)) return k;
    fail("unknown column kind \"" + printable_text(name) + "\"", at);
}

void read_data(const json& d, fitted_model& m) {
    const std::string at = "/data";
    data_description& desc = m.data;
    desc.source = text_member(d, "source", at);
    desc.format = text_member(d, "format", at);
    const std::string delimiter = text_member(d, "delimiter", at);
    desc.delimiter = delimiter.size() == 1 ? delimiter[0] : ',';
    desc.missing_rule = text_member(d, "missing", at);
    desc.subjects = int_member(d, "subjects", at, 1, 2147483647);
    const json& cols = array_member(d, "columns", at);
    if (cols.empty()) fail("no columns", at + "/columns");
    for (size_t k = 0; k < cols.size(); k++) {
        const std::string ck = at + "/columns/" + std::to_string(k);
        column_description col;
        col.name = text_member(cols[k], "name", ck);
        col.kind = kind_named(text_member(cols[k], "kind", ck), ck + "/kind");
        if (col.kind == column_outcome) {
            col.positives = int_member(cols[k], "positives", ck, 0, desc.subjects);
        } else if (col.kind != column_ignored) {
            col.inferred = bool_member(cols[k], "inferred", ck);
            col.missing = int_member(cols[k], "missing", ck, 0, desc.subjects);
            col.observed = cols[k].contains("smallest");
            if (col.observed) {
                col.smallest = real_of(member(cols[k], "smallest", ck), ck + "/smallest", false);
                col.largest = real_of(member(cols[k], "largest", ck), ck + "/largest", false);
            }
            if (col.kind == column_nominal) {
                col.categories = int_member(cols[k], "categories", ck, 0, 25);
                if (cols[k].contains("labels")) {
                    const json& labels = array_member(cols[k], "labels", ck);
                    for (size_t i = 0; i < labels.size(); i++) {
                        if (!labels[i].is_string())
                            fail("expected a string", ck + "/labels/" + std::to_string(i));
                        col.labels.push_back(labels[i].get<std::string>());
                    }
                    if (static_cast<int>(col.labels.size()) > col.categories)
                        fail("more labels than categories", ck + "/labels");
                }
            }
        }
        desc.columns.push_back(col);
    }
    for (const column_description& col : desc.columns)
        if (col.kind == column_outcome) m.outcomes.push_back(col.name);
    if (m.outcomes.empty()) fail("no outcome column", at + "/columns");
    if (m.outcomes.size() > 16) fail("more than 16 outcomes", at + "/columns");

    const json& covs = array_member(d, "covariates", at);
    if (covs.empty()) fail("no covariate", at + "/covariates");
    m.n_covariates = static_cast<int>(covs.size());
    const int n_columns = static_cast<int>(desc.columns.size());
    for (size_t c = 0; c < covs.size(); c++) {
        const std::string cc = at + "/covariates/" + std::to_string(c);
        const int column = int_member(covs[c], "column", cc, 0, n_columns - 1);
        const column_kind kind = desc.columns[static_cast<size_t>(column)].kind;
        if (kind == column_outcome || kind == column_ignored)
            fail("names a column that is no covariate", cc + "/column");
        m.cov_column.push_back(column);
        m.cov_levels.push_back(int_member(covs[c], "levels", cc, 1, 25));
        m.is_copy.push_back(bool_member(covs[c], "copy", cc));
        m.missing_value.push_back(
            stored_real(member(covs[c], "missing_value", cc), cc + "/missing_value", true));
    }
}

void read_nodes(const json& nodes, fitted_model& m) {
    const int n = static_cast<int>(nodes.size());
    const int q = static_cast<int>(m.outcomes.size());
    if (n < 1) fail("no nodes", "/nodes");
    for (int t = 0; t < n; t++) {
        const json& o = nodes[static_cast<size_t>(t)];
        const std::string at = "/nodes/" + std::to_string(t);
        model_node_entry e;
        e.number = int_member(o, "node", at, t, t);
        const json& parent = member(o, "parent", at);
        e.parent = t == 0 ? -1 : static_cast<int>(integer(parent, at + "/parent", 0, t - 1));
        if (t == 0 && !parent.is_null()) fail("the root has no parent", at + "/parent");
        e.left = int_member(o, "left", at, 0, n - 2);
        e.right = int_member(o, "right", at, 0, n - 1);
        if (e.left != 0 && (e.left <= t || e.right != e.left + 1))
            fail("daughters must be two later nodes in a row", at);
        if (e.left == 0 && e.right != 0) fail("a terminal node has no right daughter", at);
        e.cases = int_member(o, "cases", at, 0, m.data.subjects);
        e.value = stored_real(member(o, "value", at), at + "/value");
        e.positives = int_list(array_member(o, "positives", at, q), at + "/positives", 0, e.cases);
        e.pair_total = integer(member(o, "pair_total", at), at + "/pair_total", 0,
                               static_cast<long long>(e.cases) * q * q);
        const json& rates = array_member(o, "rates", at, q);
        for (int j = 0; j < q; j++) e.rate.push_back(real_of(rates[j], at + "/rates", false));
        const json& split = member(o, "split", at);
        e.has_split = !split.is_null();
        if (e.has_split != (e.left != 0)) fail("a split exactly when the node has daughters", at);
        if (e.has_split) {
            const std::string sa = at + "/split";
            model_split& s = e.split;
            s.covariate = int_member(split, "covariate", sa, 0, m.n_covariates - 1);
            s.column = m.cov_column[static_cast<size_t>(s.covariate)];
            if (int_member(split, "column_number", sa, 1, 1 << 30) != s.column + 1)
                fail("column_number does not match the covariate's column", sa);
            const int levels = m.cov_levels[static_cast<size_t>(s.covariate)];
            s.nominal = text_member(split, "kind", sa) == "nominal";
            if (s.nominal != (levels >= 2)) fail("kind does not match the covariate", sa);
            s.split_value = stored_real(member(split, "split_value", sa), sa + "/split_value");
            s.missing_go = text_member(split, "missing", sa);
            if (s.missing_go != "left" && s.missing_go != "right" && s.missing_go != "none")
                fail("expected \"left\", \"right\" or \"none\"", sa + "/missing");
            if (s.nominal) {
                s.left_categories = int_list(array_member(split, "left_categories", sa),
                                             sa + "/left_categories", 0, levels - 1);
                s.right_categories = int_list(array_member(split, "right_categories", sa),
                                              sa + "/right_categories", 0, levels - 1);
                if (static_cast<int>(s.left_categories.size() + s.right_categories.size()) !=
                    levels)
                    fail("left and right categories must share out all categories", sa);
            } else {
                s.cut = stored_real(member(split, "cut", sa), sa + "/cut");
                s.missing_copy = bool_member(split, "missing_copy", sa);
            }
        }
        const std::string ma = at + "/model";
        const json& model = member(o, "model", at);
        fitted_node_model& f = e.model;
        f.fitted = bool_member(model, "fitted", ma);
        const json& scored = member(model, "scored_by", ma);
        f.model_node =
            scored.is_null() ? -1 : static_cast<int>(integer(scored, ma + "/scored_by", 0, t));
        f.retained = int_list(array_member(model, "retained", ma), ma + "/retained", 0, q - 1);
        const json& pure = array_member(model, "pure", ma, q);
        for (int j = 0; j < q; j++) {
            if (!pure[j].is_boolean()) fail("expected true or false", ma + "/pure");
            f.pure.push_back(pure[j].get<bool>());
        }
        const json& theta = array_member(model, "theta", ma, q);
        for (int j = 0; j < q; j++) f.theta.push_back(stored_real(theta[j], ma + "/theta"));
        f.omega = stored_real(member(model, "omega", ma), ma + "/omega");
        f.normaliser = stored_real(member(model, "normaliser", ma), ma + "/normaliser");
        if (m.node_model_kind == "pairwise" && f.fitted) {
            const json& pairs = array_member(model, "omega_pairs", ma, q * q);
            for (int k = 0; k < q * q; k++)
                f.omega_pairs.push_back(stored_real(pairs[k], ma + "/omega_pairs"));
            const json& params = array_member(model, "pair_params", ma, q + q * (q - 1) / 2);
            for (size_t d = 0; d < params.size(); d++)
                f.pair_params.push_back(real_of(params[d], ma + "/pair_params", false));
            f.log_normaliser =
                real_of(member(model, "log_normaliser", ma), ma + "/log_normaliser", false);
            if (static_cast<int>(f.retained.size()) != q)
                fail("a pairwise fit keeps every outcome", ma + "/retained");
        }
        const json& probability = array_member(model, "probability", ma, q);
        for (int j = 0; j < q; j++) {
            const double p = real_of(probability[j], ma + "/probability", false);
            if (!(p >= 0 && p <= 1)) fail("a probability must lie in [0, 1]", ma + "/probability");
            f.probability.push_back(p);
        }
        m.nodes.push_back(e);
    }
    for (const model_node_entry& e : m.nodes) {
        if (e.model.model_node >= 0 &&
            !m.nodes[static_cast<size_t>(e.model.model_node)].model.fitted)
            fail("scored_by names a node without a fit", "/nodes/" + std::to_string(e.number));
        if (e.left != 0 && (m.nodes[static_cast<size_t>(e.left)].parent != e.number ||
                            m.nodes[static_cast<size_t>(e.right)].parent != e.number))
            fail("daughters must name the node as their parent",
                 "/nodes/" + std::to_string(e.number));
    }
}

void read_pruning(const json& pruning, fitted_model& m) {
    const int n = static_cast<int>(m.nodes.size());
    for (size_t k = 0; k < pruning.size(); k++) {
        const std::string at = "/pruning/" + std::to_string(k);
        model_subtree s;
        int_member(pruning[k], "subtree", at, static_cast<long long>(k) + 1,
                   static_cast<long long>(k) + 1);
        s.alpha = stored_real(member(pruning[k], "alpha", at), at + "/alpha");
        s.pruned = int_list(array_member(pruning[k], "pruned", at), at + "/pruned", 0, n - 1);
        for (int t : s.pruned)
            if (m.nodes[static_cast<size_t>(t)].left == 0)
                fail("node " + std::to_string(t) + " is terminal in the grown tree",
                     at + "/pruned");
        s.terminal = int_member(pruning[k], "terminal", at, 1, n);
        m.subtrees.push_back(s);
    }
    if (m.subtrees.empty()) fail("no subtree", "/pruning");
}

void read_cv(const json& cv, fitted_model& m) {
    const std::string at = "/cross_validation";
    model_cross_validation& c = m.cv;
    c.folds = int_member(cv, "folds", at, 2, 2147483647);
    c.repeats = int_member(cv, "repeats", at, 0, 2147483647);
    c.folds_from = text_member(cv, "folds_from", at);
    const json& rows = array_member(cv, "rows", at, c.repeats);
    const size_t k = m.subtrees.size();
    for (size_t r = 0; r < rows.size(); r++) {
        const std::string ra = at + "/rows/" + std::to_string(r);
        if (!rows[r].is_array() || rows[r].size() != k)
            fail("expected " + std::to_string(k) + " scores", ra);
        std::vector<float> row;
        for (size_t i = 0; i < k; i++) row.push_back(stored_real(rows[r][i], ra, true));
        c.rows.push_back(row);
    }
}

} // namespace

std::string model_to_json_text(const fitted_model& m) {
    json d = {{"source", m.data.source},
              {"format", m.data.format},
              {"delimiter", delimiter_text(m.data.delimiter)},
              {"missing", m.data.missing_rule},
              {"subjects", m.data.subjects}};
    json columns = json::array();
    for (const column_description& col : m.data.columns) columns.push_back(column_json(col));
    d["columns"] = columns;
    d["outcomes"] = m.outcomes;
    json covariates = json::array();
    for (int c = 0; c < m.n_covariates; c++) {
        const size_t i = static_cast<size_t>(c);
        covariates.push_back({{"covariate", c},
                              {"column", m.cov_column[i]},
                              {"name", m.data.columns[static_cast<size_t>(m.cov_column[i])].name},
                              {"levels", m.cov_levels[i]},
                              {"copy", static_cast<bool>(m.is_copy[i])},
                              {"missing_value", real_value(m.missing_value[i])}});
    }
    d["covariates"] = covariates;

    json nodes = json::array();
    for (const model_node_entry& e : m.nodes) nodes.push_back(node_json(m, e));
    json pruning = json::array();
    for (size_t k = 0; k < m.subtrees.size(); k++) {
        const model_subtree& s = m.subtrees[k];
        pruning.push_back({{"subtree", k + 1},
                           {"alpha", real_value(s.alpha)},
                           {"pruned", s.pruned},
                           {"terminal", s.terminal}});
    }
    json rows = json::array();
    for (const std::vector<float>& row : m.cv.rows) rows.push_back(real_list(row));
    json cv = {{"folds", m.cv.folds},
               {"repeats", m.cv.repeats},
               {"folds_from", m.cv.folds_from},
               {"rows", rows}};
    json mean = json::array(), se = json::array();
    for (double v : m.cv.mean) mean.push_back(number_or_null(v));
    for (double v : m.cv.se) se.push_back(number_or_null(v));
    cv["mean"] = mean;
    cv["se"] = se;
    cv["min"] = m.cv.best < 0 ? json(nullptr) : json(m.cv.best + 1);
    cv["1se"] = m.cv.one_se < 0 ? json(nullptr) : json(m.cv.one_se + 1);

    json top = {{"format", "korva-model"},
                {"format_version", model_format_version},
                {"korva_version", m.korva_version},
                {"node_model", m.node_model_kind},
                {"data", d},
                {"nodes", nodes},
                {"pruning", pruning},
                {"cross_validation", cv}};
    return top.dump(2) + "\n";
}

bool model_from_json_text(const std::string& text, const std::string& name, fitted_model& model,
                          std::string& error) {
    json top;
    try {
        top = json::parse(text);
    } catch (const json::parse_error& e) {
        // The byte offset as a line and column.
        size_t line = 1, column = 1;
        for (size_t i = 0; i + 1 < e.byte && i < text.size(); i++) {
            if (text[i] == '\n') {
                line++;
                column = 1;
            } else {
                column++;
            }
        }
        std::string what = e.what();
        const size_t cut = what.find("syntax error");
        if (cut != std::string::npos) what = what.substr(cut);
        error = name + ":" + std::to_string(line) + ":" + std::to_string(column) +
                ": not a model file (not valid JSON: " + what + ")";
        return false;
    } catch (const json::exception& e) {
        // A number beyond the range of a double, for one.
        error = name + ": not a model file (" + std::string(e.what()) + ")";
        return false;
    }
    model = fitted_model{};
    try {
        if (!top.is_object() || !top.contains("format") || top["format"] != "korva-model")
            fail("not a korva model file (no \"format\": \"korva-model\")", "");
        const json& version = member(top, "format_version", "");
        if (!version.is_number_integer() || version.get<long long>() != model_format_version)
            fail("model file format version " + version.dump() +
                     " is not supported (this korva "
                     "reads version " +
                     std::to_string(model_format_version) + ")",
                 "/format_version");
        model.format_version = model_format_version;
        model.korva_version = text_member(top, "korva_version", "");
        model.node_model_kind = text_member(top, "node_model", "");
        if (model.node_model_kind != "common" && model.node_model_kind != "pairwise")
            fail("unknown node model \"" + printable_text(model.node_model_kind) + "\"",
                 "/node_model");
        read_data(member(top, "data", ""), model);
        const json& nodes = member(top, "nodes", "");
        if (!nodes.is_array()) fail("expected an array", "/nodes");
        read_nodes(nodes, model);
        const json& pruning = member(top, "pruning", "");
        if (!pruning.is_array()) fail("expected an array", "/pruning");
        read_pruning(pruning, model);
        read_cv(member(top, "cross_validation", ""), model);
    } catch (const model_error& e) {
        error = name + ": " + e.what() + (e.where.empty() ? "" : " (at " + e.where + ")");
        return false;
    } catch (const json::exception& e) {
        error = name + ": not a usable model file (" + e.what() + ")";
        return false;
    }
    summarize_model_cv(model);
    return true;
}

bool read_model_file(const std::string& path, fitted_model& model, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open the model file";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        error = path + ": cannot read the model file";
        return false;
    }
    return model_from_json_text(text.str(), path, model, error);
}
