// read_table: a delimited text file read whole into typed columns (outcomes
// and covariates with missing flags and categories) for a fit.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "numeric/real.h"

// The most categories a nominal covariate may have, one for missing values
// included: the limit of the split search.
constexpr int max_table_categories = 25;

enum column_kind {
    column_continuous,
    column_ordinal,
    column_nominal,
    column_outcome,
    column_ignored,
};

// Column names given by the user; every name must be a column of the file and
// appear in one list only.
struct table_options {
    std::vector<std::string> outcomes; // at least one
    std::vector<std::string> nominal;
    std::vector<std::string> ordinal;
    std::vector<std::string> ignore;
    std::vector<std::string> na; // spellings of a missing cell besides an empty cell and NA
};

struct table_column {
    std::string name;
    column_kind kind = column_continuous;
    // Named in the options. Otherwise inferred: continuous for numbers, nominal
    // for a column holding text.
    bool declared = false;
    // Covariates: each row's number (nominal: its category 0..categories-1),
    // 0 where missing.
    std::vector<real> values;
    std::vector<unsigned char> missing; // covariates: 1 where the cell is missing
    int missing_count = 0;
    std::vector<unsigned char> outcome; // outcomes: each row's 0 or 1
    // Nominal: categories of the observed values (largest number + 1, or the
    // number of labels), not counting one for missing values.
    int categories = 0;
    // Nominal with text labels: the label of each category, in byte order.
    // Empty when the column holds numbers.
    std::vector<std::string> labels;
};

struct data_table {
    int rows = 0;
    char delimiter = ',';
    std::vector<table_column> columns; // in file order
};

// Reads the whole file (see delimited_reader.h for its form). Every cell is
// trimmed of blanks first; ignored columns are not read at all.
// - Outcome cells: 0/1, TRUE/FALSE or yes/no in any letter case.
// - Ordinal columns and undeclared columns of numbers: numbers as a data file's
//   values are read.
// - Nominal columns (declared, or undeclared holding any text): when every
//   observed cell is a number, each must be a whole number from 0 up and is
//   its category; otherwise the distinct cell texts are the labels, numbered
//   0..k-1 in byte order. At most max_table_categories categories, one for
//   missing values counted when any is missing.
// False with error "FILE:LINE: ..." on the first thing refused; table is then
// unspecified. Throws nothing.
bool read_table(const std::string& path, const table_options& options, data_table& table,
                std::string& error);

// The same on a stream already open (left open); name is used in messages.
bool read_table_stream(std::FILE* file, const std::string& name, const table_options& options,
                       data_table& table, std::string& error);
