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
    const int missing_flag = data[0] & 1;
    real missing_code = static_cast<real>(static_cast<signed char>(data[1]));
    if ((data[0] & 2) != 0) missing_code = missing_code / 2;

    // fmemopen refuses an empty buffer; a lone blank reads the same as nothing.
    std::vector<char> text(data + 2, data + size);
    if (text.empty()) text.push_back(' ');
    std::FILE* file = fmemopen(text.data(), text.size(), "r");
    if (file == nullptr) return 0;
    try {
        int* cov_column = load_data_file(file, "fuzz.dat", missing_flag, missing_code);
        check_prepared_data(cov_column);
    } catch (const run_stopped&) {
    }
    std::fclose(file);
    clear_run();
    return 0;
}
