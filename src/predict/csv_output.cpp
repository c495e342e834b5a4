// csv_output: the buffer's flush and quoted fields.
#include "predict/csv_output.h"

#include <cerrno>

#include "predict/predict_error.h"

namespace {

#ifdef KORVA_FUZZ
// Fuzzing inputs are short: a tiny buffer makes them flush and grow it.
constexpr std::size_t buffer_size = 64;
#else
constexpr std::size_t buffer_size = std::size_t{1} << 20;
#endif

} // namespace

csv_output::csv_output(std::FILE* file, std::string name)
    : file_(file), name_(std::move(name)), buffer_(buffer_size) {}

void csv_output::flush() {
    if (used_ == 0) return;
    errno = 0;
    const std::size_t written = std::fwrite(buffer_.data(), 1, used_, file_);
    if (written != used_)
        throw predict_error(name_ + ": cannot write (" + std::strerror(errno != 0 ? errno : EIO) +
                            ")");
    used_ = 0;
}

void csv_output::quoted(std::string_view text) {
    put('"');
    for (std::size_t from = 0;;) {
        const std::size_t quote = text.find('"', from);
        raw(text.substr(from, quote == std::string_view::npos ? quote : quote + 1 - from));
        if (quote == std::string_view::npos) break;
        put('"');
        from = quote + 1;
    }
    put('"');
}

std::string number_text(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}
