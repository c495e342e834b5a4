// The one way prediction stops on bad input: an exception carrying the whole
// message ("FILE:LINE: ..."), turned into korva's error line by the command.
#pragma once

#include <stdexcept>
#include <string>

struct predict_error : std::runtime_error {
    explicit predict_error(const std::string& what) : std::runtime_error(what) {}
};
