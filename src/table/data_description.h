// The data of a batch analysis as the user knows it: the source, every data
// column's name and kind, category labels, missing values and outcome counts.
#pragma once

#include <string>
#include <vector>

#include "table/read_table.h"

// The kind's name as the summary and the model file write it.
const char* column_kind_name(column_kind kind);

struct column_description {
    std::string name;
    column_kind kind = column_continuous;
    bool inferred = false;           // nominal because it holds text, though not declared
    std::vector<std::string> labels; // text-labelled nominal: the label of category k
    int missing = 0;                 // missing cells
    bool observed = false;           // covariate: some value is observed
    double smallest = 0;             // covariate: smallest and largest observed value
    double largest = 0;
    int categories = 0; // nominal: categories 0..k-1 the split search uses (missing included)
    int positives = 0;  // outcome: subjects positive
};

struct data_description {
    std::string source;       // the data file as given
    std::string format;       // "delimited text" or "korva data file"
    char delimiter = ',';     // delimited text
    std::string missing_rule; // how missing values were written, in words
    int subjects = 0;
    std::vector<column_description> columns; // every data column, in file order
};
