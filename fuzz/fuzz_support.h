// Shared by the fuzz targets: a stop (fatal_error, input_error, silent_exit)
// becomes an exception caught by the target, and everything one input left
// behind (blocks, run-wide counts and arrays) is cleared before the next.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "numeric/arrays.h"
#include "numeric/fatal_error.h"
#include "numeric/real.h"
#include "numeric/run_counts.h"

// Thrown in place of the process exit; status is the exit status the program
// would have ended with.
struct run_stopped {
    int status;
};

[[noreturn]] inline void throw_run_stopped(int status) {
    throw run_stopped{status};
}

inline void install_stop_hook() {
    stop_hook = throw_run_stopped;
}

// Releases every block still held and sets the run-wide counts and arrays back
// to their state at program start.
inline void clear_run() {
    release_all_arrays();
    n_subjects = 0;
    n_covariates = 0;
    n_outcomes = 0;
    max_nodes = 0;
    stat_len = 0;
    n_patterns = 0;
    n_subtrees = 0;
    col_type = nullptr;
    cov_levels = nullptr;
    covariate_matrix = nullptr;
    outcome_matrix = nullptr;
    alpha = nullptr;
}

// A fresh directory under /tmp named after the target, removed again when the
// fuzzer exits.
inline std::filesystem::path& fuzz_work_dir() {
    static std::filesystem::path dir;
    return dir;
}

inline void remove_fuzz_work_dir() {
    std::error_code ignored;
    std::filesystem::remove_all(fuzz_work_dir(), ignored);
}

inline std::filesystem::path make_fuzz_work_dir(const char* target) {
    std::string pattern = std::string("/tmp/korva-") + target + "-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    fuzz_work_dir() = pattern;
    std::atexit(remove_fuzz_work_dir);
    return fuzz_work_dir();
}

// A data-file input: byte 0 holds the flags (bit 0 missing data, bit 1 halve
// the missing code, the rest for the target), byte 1 the missing code as a
// signed byte, and the rest the file's text. size must be at least 2.
struct fuzz_data_input {
    int missing_flag;
    real missing_code;
    std::vector<char> text;
};

inline fuzz_data_input decode_data_input(const std::uint8_t* data, std::size_t size) {
    fuzz_data_input in;
    in.missing_flag = data[0] & 1;
    in.missing_code = static_cast<real>(static_cast<signed char>(data[1]));
    if ((data[0] & 2) != 0) in.missing_code = in.missing_code / 2;
    // fmemopen refuses an empty buffer; a lone blank reads the same as nothing.
    in.text.assign(data + 2, data + size);
    if (in.text.empty()) in.text.push_back(' ');
    return in;
}

// The input's text as a file to read, or null.
inline std::FILE* open_data_text(fuzz_data_input& in) {
    return fmemopen(in.text.data(), in.text.size(), "r");
}
