// korva fit's delimited text into the run-wide arrays.
#pragma once

#include <string>

#include "fit/data_description.h"
#include "fit/fit_options.h"

// True when the file's first line holds only whole numbers separated by white
// space, as the header of korva's data file does.
bool is_korva_data_file(const std::string& path);

int* load_table_data(const fit_options& options, data_description& description);
