// csv_output: CSV text gathered in a large buffer and written in big blocks.
// Numbers are formatted with std::to_chars (the shortest text that reads back
// as the same double), which no stream or printf format does both exactly and
// quickly; fields are quoted as RFC 4180 requires.
#pragma once

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

class csv_output {
  public:
    // name is used in messages; the file stays open (the caller closes it).
    csv_output(std::FILE* file, std::string name);

    // A field: in quotes, inner quotes doubled, when it holds a comma, a
    // quote or a line break.
    void field(std::string_view text) {
        if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
            raw(text);
        } else {
            quoted(text);
        }
    }
    void raw(std::string_view text) {
        if (used_ + text.size() > buffer_.size()) {
            flush();
            if (text.size() > buffer_.size()) buffer_.resize(text.size());
        }
        std::memcpy(buffer_.data() + used_, text.data(), text.size());
        used_ += text.size();
    }
    void put(char c) {
        if (used_ == buffer_.size()) flush();
        buffer_[used_++] = c;
    }
    void number(double value) {
        if (buffer_.size() - used_ < 32) flush();
        used_ = static_cast<std::size_t>(
            std::to_chars(buffer_.data() + used_, buffer_.data() + buffer_.size(), value).ptr -
            buffer_.data());
    }
    // Writes what the buffer holds; throws predict_error when the file refuses it.
    void flush();

  private:
    void quoted(std::string_view text);
    std::FILE* file_;
    std::string name_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

// The shortest text that reads back as the same double.
std::string number_text(double value);
