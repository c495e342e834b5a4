// korva fit's delimited text into the run-wide arrays.
#pragma once

#include "fit/fit_options.h"
#include "table/data_description.h"

// Reads the table (table/read_table.h), builds the arrays korva's data file
// reader would build for the same data, with every missing cell marked by a
// code no observed value equals, prepares them as the dialogue run does and
// describes them. Returns cov_column. Bad input ends the run with an error
// line (status 1).
int* load_table_data(const fit_options& options, data_description& description);
