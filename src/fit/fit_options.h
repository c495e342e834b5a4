// What `korva fit` was asked to do: the data, how to read its columns, the
// cross-validation and where the results go.
#pragma once

#include <string>
#include <vector>

struct fit_options {
    std::string data;                  // the data file: delimited text or korva's data file
    std::vector<std::string> outcomes; // outcome columns (delimited text)
    std::vector<std::string> nominal;  // columns declared nominal
    std::vector<std::string> ordinal;  // columns declared ordinal
    std::vector<std::string> ignore;   // columns read and ignored
    std::vector<std::string> na;       // further spellings of a missing cell
    std::string missing_code;          // korva's data file: the missing-value code, if any
    int folds = 5;
    int repeats = 10;
    bool folds_given = false;              // --folds was on the command line
    bool repeats_given = false;            // --repeats was on the command line
    std::string model = "common";          // the node model: "common" or "pairwise"
    std::string fold_file;                 // folds given in a file, one line per subject
    std::vector<std::string> fold_columns; // folds given in columns of the table
    int threads = 0;                       // 0: KORVA_THREADS, else one per core
    std::string out = ".";
    bool quiet = false;
};
