// Fuzz target of the data file reader with covariate preparation. The first
// byte chooses the missing-value answers (bit 0: a missing code is used; bit
// 1: the code is halved), the second is the code as a signed byte, and the
// remaining bytes are the data file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "check_prepared_data.h"
#include "data/read_data_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    install_stop_hook();
    fuzz_data_input in = decode_data_input(data, size);
    std::FILE* file = open_data_text(in);
    if (file == nullptr) return 0;
    try {
        int* cov_column = load_data_file(file, "fuzz.dat", in.missing_flag, in.missing_code);
        check_prepared_data(cov_column);
    } catch (const run_stopped&) {
    }
    std::fclose(file);
    clear_run();
    return 0;
}
