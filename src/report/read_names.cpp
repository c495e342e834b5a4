// Column names for the pictures, in column order: either the header row of a
// delimited text file (a first line holding a comma or a semicolon, read by
// the table reader, so RFC 4180 quotes are removed as in korva fit), or names
// separated by white space, each possibly in double quotes.
#include <fstream>

#include "report/report.h"
#include "table/delimited_reader.h"

namespace {

// "name" -> name, with a doubled quote inside standing for one.
std::string unquoted(const std::string& word) {
    if (word.size() < 2 || word.front() != '"' || word.back() != '"') return word;
    std::string s;
    for (std::size_t i = 1; i + 1 < word.size(); i++) {
        s += word[i];
        if (word[i] == '"' && word[i + 1] == '"') i++;
    }
    return s;
}

} // namespace

bool read_names(const std::string& path, std::vector<std::string>& names, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot open the names file";
        return false;
    }
    names.clear();
    std::string first;
    std::getline(in, first);
    if (first.find_first_of(",;") != std::string::npos) {
        delimited_reader reader;
        if (!open_delimited(reader, path)) {
            error = reader.error;
            return false;
        }
        names = reader.header;
        return true;
    }
    in.clear();
    in.seekg(0);
    std::string name;
    while (in >> name) names.push_back(unquoted(name));
    if (names.empty()) {
        error = path + ": the names file holds no names";
        return false;
    }
    return true;
}
