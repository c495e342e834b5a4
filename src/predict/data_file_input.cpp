// data_file_input: the header, the type row and the values of korva's data
// file, streamed through formatted_input.
#include "predict/data_file_input.h"

#include <cerrno>
#include <cstring>

#include "predict/predict_error.h"

namespace {

// More columns than any data set korva can fit would have.
constexpr long long max_columns = 1 << 20;

int header_count(data_file_input& d, const char* what) {
    int value = 0;
    const read_status status = read_int(d.in, value);
    if (status != read_ok || value < 0)
        throw predict_error(
            data_value_place(d) + ": header: " + what + ": " +
            (status == read_ok ? "a negative count"
                               : describe_read_failure(status, d.in.token, true, "the file ends")));
    return value;
}

} // namespace

data_file_input::~data_file_input() {
    if (file != nullptr) std::fclose(file);
}

void open_data_file_input(data_file_input& d, const std::string& path) {
    d.name = path;
    d.file = std::fopen(path.c_str(), "rb");
    if (d.file == nullptr)
        throw predict_error(path + ": cannot open the file (" + std::strerror(errno) + ")");
    open_formatted_input(d.in, d.file, false);
    d.subjects = header_count(d, "number of subjects");
    const long long p = header_count(d, "number of covariate columns");
    const long long q = header_count(d, "number of outcomes");
    if (p + q < 1 || p + q > max_columns)
        throw predict_error(path + ": header: " + std::to_string(p + q) +
                            " columns (expected 1 to " + std::to_string(max_columns) + ")");
    for (long long k = 0; k < p + q; k++) {
        int code = 0;
        const read_status status = read_int(d.in, code);
        if (status != read_ok)
            throw predict_error(data_value_place(d) + ": type row, column " +
                                std::to_string(k + 1) + ": " +
                                describe_read_failure(status, d.in.token, true, "the file ends"));
        d.type.push_back(code);
        d.header.push_back("column " + std::to_string(k + 1));
    }
}

std::string_view next_data_value(data_file_input& d, int record, int column) {
    if (!next_token(d.in)) {
        if (d.in.read_errno != 0)
            throw predict_error(d.name + ": cannot read the file (" +
                                std::strerror(d.in.read_errno) + ")");
        throw predict_error(d.name + ": the file ends in record " + std::to_string(record + 1) +
                            " of the " + std::to_string(d.subjects) +
                            " the header announces, before column " + std::to_string(column + 1));
    }
    if (d.in.token_too_long)
        throw predict_error(data_value_place(d) + ": a value of more than " +
                            std::to_string(max_token_length) + " characters");
    return d.in.token;
}

void check_data_file_end(data_file_input& d) {
    if (next_token(d.in))
        throw predict_error(data_value_place(d) + ": a value after the last of the " +
                            std::to_string(d.subjects) +
                            " records the header announces (the header's subject count must "
                            "match the records)");
    if (d.in.read_errno != 0)
        throw predict_error(d.name + ": cannot read the file (" + std::strerror(d.in.read_errno) +
                            ")");
}

std::string data_value_place(data_file_input& d) {
    const long line = d.in.token.data() == nullptr ? 0 : token_line(d.in);
    return line > 0 ? d.name + ":" + std::to_string(line) : d.name;
}
