// load_fit_data: korva fit's data, from korva's data file or from delimited
// text, into the run-wide arrays, prepared and described.
#include "fit/load_fit_data.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "data/formatted_input.h"
#include "data/read_data_file.h"
#include "fit/load_table_data.h"
#include "numeric/fatal_error.h"
#include "numeric/printable_text.h"
#include "table/detect_format.h"

namespace {

// korva's data file, with the dialogue's missing-value answer given as
// --missing-code.
int* load_korva_data_file(const fit_options& options, data_description& description) {
    int missing_flag = 0;
    real missing_code = 0;
    if (!options.missing_code.empty()) {
        if (parse_real(options.missing_code, missing_code) != read_ok)
            input_error("--missing-code: expected a number, found \"%s\"",
                        printable_text(options.missing_code).c_str());
        missing_flag = 1;
    }
    std::FILE* file = std::fopen(options.data.c_str(), "r");
    if (file == nullptr)
        input_error("cannot open data file \"%s\": %s", printable_text(options.data, 4096).c_str(),
                    std::strerror(errno));
    int n_columns = 0;
    int* cov_column = read_data_records(file, options.data.c_str(), &n_columns);
    std::fclose(file);

    description.source = options.data;
    description.format = "korva data file";
    description.missing_rule =
        missing_flag != 0 ? "the code " + options.missing_code : "none (no missing-value code)";
    describe_raw_data(n_columns, missing_flag, missing_code, description);
    for (size_t k = 0; k < description.columns.size(); k++)
        description.columns[k].name = "column " + std::to_string(k + 1);
    prepare_data(missing_flag, missing_code, cov_column);
    describe_categories(cov_column, description);
    return cov_column;
}

} // namespace

int* load_fit_data(const fit_options& options, data_description& description) {
    data_format format = format_delimited;
    std::string error;
    if (!detect_format(options.data, format, error)) input_error("%s", error.c_str());
    if (format == format_data_file) {
        if (!options.outcomes.empty() || !options.nominal.empty() || !options.ordinal.empty() ||
            !options.ignore.empty())
            input_error("%s is korva's data file, whose type row sets every column's kind: "
                        "--outcomes, --nominal, --ordinal and --ignore apply to delimited text",
                        printable_text(options.data, 4096).c_str());
        return load_korva_data_file(options, description);
    }
    if (!options.missing_code.empty())
        input_error("--missing-code applies to korva's data file; in delimited text a missing "
                    "cell is empty or NA (--na adds spellings)");
    return load_table_data(options, description);
}
