// What `korva predict` was asked to do: the model, the subjects, the subtree
// and what the output holds.
#pragma once

#include <string>
#include <vector>

struct predict_options {
    std::string model;             // model.json written by korva fit
    std::string data;              // delimited text with a header row, or korva's data file
    std::string tree;              // a subtree number, "min" or "1se"; empty: the default
    std::string output;            // the output file; empty: standard output
    std::vector<std::string> keep; // input columns copied to the output
    bool patterns = false;         // also every joint outcome pattern's probability
    std::vector<std::string> na;   // further spellings of a missing cell (delimited text)
    std::string missing_code;      // korva's data file: the value of a missing covariate
};
