// Column names for the pictures: one name per data column, in column order.
#include <fstream>

#include "report/report.h"

bool read_names(const std::string& path, std::vector<std::string>& names, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot open the names file";
        return false;
    }
    names.clear();
    std::string name;
    while (in >> name) names.push_back(name);
    if (names.empty()) {
        error = path + ": the names file holds no names";
        return false;
    }
    return true;
}
