// predict_subjects: the reading loops of delimited text and of korva's data
// file, each cell decoded as it is met, each subject routed and written.
#include "predict/predict_subjects.h"

#include "data/formatted_input.h"
#include "predict/cell_decoder.h"
#include "predict/data_file_input.h"
#include "predict/input_layout.h"
#include "predict/predict_error.h"
#include "predict/prediction_rows.h"
#include "predict/routing_plan.h"
#include "table/delimited_reader.h"
#include "table/detect_format.h"
#include "table/shown_text.h"

namespace {

// One subject's values while its cells are read.
struct subject {
    std::vector<column_value> values; // per plan column
    std::vector<unsigned char> y;     // per outcome
    bool y_missing = false;
    std::vector<std::string_view> kept;
};

// What a cell is read for, by the layout's entry u; returns what was expected
// when the cell is refused, else nullptr.
const char* read_cell(const routing_plan& plan, const input_layout::use& u, std::string_view cell,
                      const missing_spelling& missing, subject& s) {
    if (u.slot >= 0) {
        const std::size_t slot = static_cast<std::size_t>(u.slot);
        const char* bad = decode_split_cell(plan.columns[slot], cell, missing, s.values[slot]);
        if (bad != nullptr) return bad;
    }
    if (u.outcome >= 0) {
        int y = 0;
        const char* bad = decode_outcome_cell(cell, missing, y);
        if (bad != nullptr) return bad;
        if (y < 0)
            s.y_missing = true;
        else
            s.y[static_cast<std::size_t>(u.outcome)] = static_cast<unsigned char>(y);
    }
    return nullptr;
}

[[noreturn]] void refuse_cell(const std::string& place, const std::string& column,
                              const char* expected, std::string_view cell) {
    throw predict_error(place + ": column " + shown_text(column) + ": " + expected + ", found " +
                        shown_text(cell));
}

struct run_state {
    const fitted_model& model;
    const routing_plan plan;
    csv_output& out;
    prediction_summary& summary;
    input_layout layout;
    prediction_rows rows;
    subject s;
    fallback_tally tally;

    run_state(const fitted_model& m, int k, const std::string& model_name, csv_output& o,
              prediction_summary& sum)
        : model(m), plan(make_routing_plan(m, k, model_name)), out(o), summary(sum),
          tally(plan.columns.size()) {}

    void start(const std::vector<std::string>& header, const predict_options& options,
               const std::string& where) {
        layout = match_columns(header, plan, model, options.keep, where);
        rows = make_prediction_rows(model, plan, !layout.outcome_column.empty(), options.patterns,
                                    options.model);
        summary.loglik = rows.loglik;
        summary.absent_outcomes = layout.absent_outcomes;
        s.values.assign(plan.columns.size(), column_value{});
        s.y.assign(model.outcomes.size(), 0);
        s.kept.assign(layout.keep_column.size(), {});
        std::vector<std::string> kept_names;
        for (int c : layout.keep_column) kept_names.push_back(header[static_cast<std::size_t>(c)]);
        write_header_row(out, rows, model, kept_names);
    }

    void finish_subject() {
        tally.row = summary.subjects;
        const int node = route(plan, s.values.data(), tally);
        write_prediction_row(out, rows, s.kept.data(), s.kept.size(), node,
                             s.y_missing ? nullptr : s.y.data());
        summary.subjects++;
        if (s.y_missing && rows.loglik) summary.missing_outcome_rows++;
        s.y_missing = false;
    }

    void finish() {
        for (const split_column& c : plan.columns) summary.columns.push_back(c.name);
        summary.fallback_missing = tally.missing;
        summary.fallback_unseen = tally.unseen;
    }
};

void predict_delimited(run_state& run, const predict_options& options,
                       const missing_spelling& missing) {
    delimited_reader reader;
    if (!open_delimited(reader, options.data)) throw predict_error(reader.error);
    run.start(reader.header, options, options.data + ":1");
    const std::vector<input_layout::use>& reads = run.layout.reads;
    const std::vector<int>& keep = run.layout.keep_column;
    record_status status;
    while ((status = next_record(reader)) == record_ok) {
        for (const input_layout::use& u : reads) {
            const std::string_view cell = reader.fields[static_cast<std::size_t>(u.column)];
            const char* bad = read_cell(run.plan, u, cell, missing, run.s);
            if (bad != nullptr)
                refuse_cell(options.data + ":" + std::to_string(reader.line),
                            reader.header[static_cast<std::size_t>(u.column)], bad, cell);
        }
        for (std::size_t i = 0; i < keep.size(); i++)
            run.s.kept[i] = reader.fields[static_cast<std::size_t>(keep[i])];
        run.finish_subject();
    }
    if (status == record_error) throw predict_error(reader.error);
}

// The type row's code for a column of the model's kind: nominal 3, ordinal
// 2, continuous any other positive code, outcome a negative one.
bool code_fits(column_kind kind, int code) {
    switch (kind) {
    case column_nominal:
        return code == 3;
    case column_ordinal:
        return code == 2;
    case column_continuous:
        return code > 0 && code != 2 && code != 3;
    case column_outcome:
        return code < 0;
    case column_ignored:
        break;
    }
    return true;
}

// A data file's columns must be of the kinds the model gave them.
void check_type_row(const run_state& run, const data_file_input& d) {
    auto check = [&](int input_column, const column_description& col) {
        const int code = d.type[static_cast<std::size_t>(input_column)];
        if (!code_fits(col.kind, code))
            throw predict_error(d.name + ": type row, column " + std::to_string(input_column + 1) +
                                ": code " + std::to_string(code) + ", but the model's " +
                                shown_text(col.name) + " is " + column_kind_name(col.kind));
    };
    for (std::size_t s = 0; s < run.plan.columns.size(); s++)
        check(run.layout.slot_column[s],
              run.model.data.columns[static_cast<std::size_t>(run.plan.columns[s].column)]);
    for (const column_description& col : run.model.data.columns) {
        if (col.kind != column_outcome || run.layout.outcome_column.empty()) continue;
        for (std::size_t j = 0; j < run.model.outcomes.size(); j++)
            if (run.model.outcomes[j] == col.name) check(run.layout.outcome_column[j], col);
    }
}

void predict_data_file(run_state& run, const predict_options& options,
                       const missing_spelling& missing) {
    data_file_input d;
    open_data_file_input(d, options.data);
    run.start(d.header, options, options.data);
    check_type_row(run, d);
    const std::size_t n_columns = d.header.size();
    std::vector<int> read_entry(n_columns, -1);
    for (std::size_t i = 0; i < run.layout.reads.size(); i++)
        read_entry[static_cast<std::size_t>(run.layout.reads[i].column)] = static_cast<int>(i);
    std::vector<std::string> kept_text(n_columns);
    const std::vector<int>& keep = run.layout.keep_column;
    for (int r = 0; r < d.subjects; r++) {
        for (std::size_t c = 0; c < n_columns; c++) {
            const std::string_view value = next_data_value(d, r, static_cast<int>(c));
            if (read_entry[c] >= 0) {
                const char* bad =
                    read_cell(run.plan, run.layout.reads[static_cast<std::size_t>(read_entry[c])],
                              value, missing, run.s);
                if (bad != nullptr) refuse_cell(data_value_place(d), d.header[c], bad, value);
            }
            if (run.layout.kept[c]) kept_text[c].assign(value);
        }
        for (std::size_t i = 0; i < keep.size(); i++)
            run.s.kept[i] = kept_text[static_cast<std::size_t>(keep[i])];
        run.finish_subject();
    }
    check_data_file_end(d);
}

// A data file's missing code: --missing-code, else the code the model's data
// was read with when that was a data file too.
missing_spelling data_file_missing(const fitted_model& model, const predict_options& options,
                                   prediction_summary& summary) {
    missing_spelling missing;
    missing.data_file = true;
    std::string code = options.missing_code;
    const std::string prefix = "the code ";
    if (code.empty() && model.data.format == "korva data file" &&
        model.data.missing_rule.compare(0, prefix.size(), prefix) == 0) {
        code = model.data.missing_rule.substr(prefix.size());
        summary.missing_code_note = "missing values: the code " + code +
                                    ", as in the model's data (--missing-code sets "
                                    "another)";
    }
    if (!code.empty()) {
        if (parse_real(code, missing.code) != read_ok)
            throw predict_error("--missing-code: expected a number, found " + shown_text(code));
        missing.has_code = true;
    }
    return missing;
}

} // namespace

void predict_subjects(const fitted_model& model, const predict_options& options, int k,
                      csv_output& out, prediction_summary& summary) {
    data_format format = format_delimited;
    std::string error;
    if (!detect_format(options.data, format, error)) throw predict_error(error);
    run_state run(model, k, options.model, out, summary);
    if (format == format_data_file) {
        if (!options.na.empty())
            throw predict_error(options.data +
                                " is korva's data file, in which a missing value "
                                "is written as the missing code: --na applies to delimited text "
                                "(--missing-code to a data file)");
        predict_data_file(run, options, data_file_missing(model, options, summary));
    } else {
        if (!options.missing_code.empty())
            throw predict_error("--missing-code applies to korva's data file; in delimited text "
                                "a missing cell is empty or NA (--na adds spellings)");
        missing_spelling missing;
        missing.na = options.na;
        predict_delimited(run, options, missing);
    }
    run.finish();
}
