// The summary korva fit prints of the data as read: subjects, every column's
// name and kind, categories, missing counts and outcome counts.
#pragma once

#include <cstdio>

#include "table/data_description.h"

void print_data_summary(std::FILE* out, const data_description& description);
