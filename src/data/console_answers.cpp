// console_answers: reads the dialogue's answers from standard input, one shared
// token stream for the whole run, flushing the prompts before each read.
#include "data/console_answers.h"

#include <cstdio>

#include "data/formatted_input.h"
#include "numeric/fatal_error.h"

namespace {

formatted_input console_input;

formatted_input& console() {
    if (console_input.file == nullptr) open_formatted_input(console_input, stdin, true);
    return console_input;
}

[[noreturn]] void answer_error(const char* question, read_status status, bool whole_number) {
    std::string what = describe_read_failure(status, console().token, whole_number, "end of input");
    input_error("answer to \"%s\": %s", question, what.c_str());
}

} // namespace

void restart_console_answers() {
    console_input = formatted_input{};
}

std::string answer_word(const char* question) {
    std::fflush(stdout);
    if (!next_token(console())) answer_error(question, read_end, false);
    if (console().token_too_long) answer_error(question, read_too_long, false);
    return std::string(console().token);
}

int answer_int(const char* question) {
    std::fflush(stdout);
    int value = 0;
    read_status status = read_int(console(), value);
    if (status != read_ok) answer_error(question, status, true);
    return value;
}

real answer_real(const char* question) {
    std::fflush(stdout);
    real value = 0;
    read_status status = read_real(console(), value);
    if (status != read_ok) answer_error(question, status, false);
    return value;
}
