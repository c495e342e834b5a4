#include "fit/load_table_data.h"

#include <fstream>

#include "numeric/fatal_error.h"

bool is_korva_data_file(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    bool digit = false;
    for (char c : line) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c != ' ' && c != '\t' && c != '\r' && c != '-' && c != '+')
            return false;
    }
    return digit;
}

int* load_table_data(const fit_options&, data_description&) {
    input_error("delimited text is not read yet");
}
