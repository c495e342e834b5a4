// run_predict: reads the model, chooses the subtree, stages the output file,
// predicts, and says on standard error what was used and what needed a rule
// of its own.
#include "predict/run_predict.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "modelfile/model_json.h"
#include "numeric/fatal_error.h"
#include "numeric/staged_file.h"
#include "predict/choose_subtree.h"
#include "predict/predict_error.h"
#include "predict/predict_subjects.h"
#include "table/shown_text.h"

namespace {

void report_summary(const prediction_summary& s, const std::string& destination) {
    std::fprintf(stderr, "%lld subjects predicted%s\n", s.subjects, destination.c_str());
    if (!s.missing_code_note.empty()) std::fprintf(stderr, "%s\n", s.missing_code_note.c_str());
    if (!s.loglik) {
        std::string names;
        for (const std::string& n : s.absent_outcomes) {
            names += ' ';
            names += shown_text(n);
        }
        std::fprintf(stderr, "no loglik column: the input lacks the outcome column(s)%s\n",
                     names.c_str());
    } else if (s.missing_outcome_rows > 0) {
        std::fprintf(stderr, "loglik left empty for %lld subjects with a missing outcome\n",
                     s.missing_outcome_rows);
    }
    for (std::size_t c = 0; c < s.columns.size(); c++) {
        const long long missing = s.fallback_missing[c], unseen = s.fallback_unseen[c];
        if (missing == 0 && unseen == 0) continue;
        std::string what;
        if (unseen > 0) what += std::to_string(unseen) + " with a value training never had";
        if (missing > 0)
            what += (what.empty() ? "" : ", ") + std::to_string(missing) +
                    " missing (training had no missing value there)";
        std::fprintf(stderr,
                     "column %s: %s; sent to the daughter with more training cases at its "
                     "splits\n",
                     shown_text(s.columns[c]).c_str(), what.c_str());
    }
}

void predict_to(const fitted_model& model, const predict_options& options, int k) {
    prediction_summary summary;
    if (options.output.empty()) {
        csv_output out(stdout, "standard output");
        predict_subjects(model, options, k, out, summary);
        out.flush();
        if (std::fflush(stdout) != 0)
            throw predict_error(std::string("standard output: cannot write (") +
                                std::strerror(errno) + ")");
        report_summary(summary, "");
        return;
    }
    const std::string temp = create_staged_file(options.output);
    if (temp.empty())
        throw predict_error(options.output + ": cannot create the output file (" +
                            std::strerror(errno) + ")");
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (file == nullptr)
        throw predict_error(options.output + ": cannot write (" + std::strerror(errno) + ")");
    csv_output out(file, options.output);
    predict_subjects(model, options, k, out, summary);
    out.flush();
    if (std::fclose(file) != 0)
        throw predict_error(options.output + ": cannot write (" + std::strerror(errno) + ")");
    if (!commit_staged_file(temp, options.output))
        throw predict_error(options.output + ": cannot rename the finished output into place (" +
                            std::strerror(errno) + ")");
    report_summary(summary, ", written to " + options.output);
}

} // namespace

int run_predict(const predict_options& options) {
    try {
        fitted_model model;
        std::string error;
        if (!read_model_file(options.model, model, error)) throw predict_error(error);
        const subtree_choice choice = choose_subtree(model, options.tree);
        std::fprintf(
            stderr, "subtree %d of %zu (%d terminal nodes): %s\n", choice.k, model.subtrees.size(),
            model.subtrees[static_cast<std::size_t>(choice.k - 1)].terminal, choice.why.c_str());
        predict_to(model, options, choice.k);
    } catch (const predict_error& e) {
        input_error("%s", e.what());
    } catch (const std::bad_alloc&) {
        input_error("not enough memory");
    }
    return 0;
}
