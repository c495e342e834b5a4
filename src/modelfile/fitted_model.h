// The fitted model of a korva fit run, in memory: what the model file holds
// and what korva report and korva predict work from, without the data.
#pragma once

#include <string>
#include <vector>

#include "table/data_description.h"

// How a node's cases are divided: values up to and including the cut go left
// (ordered covariate), or the categories of the left set go left (nominal).
struct model_split {
    int column = 0;    // data column of the split covariate, from 0
    int covariate = 0; // the engine's covariate index (a missingness copy counts on)
    bool nominal = false;
    // Ordered covariate with missing values: false when the split uses the
    // covariate itself (missing cases sit below every observed value, so they
    // go left), true when it uses its copy (missing cases above: right).
    bool missing_copy = false;
    float cut = 0;                     // ordered: the cut, as stored
    float split_value = 0;             // the stored split value (the category bit set for nominal)
    std::vector<int> left_categories;  // nominal: categories that go left, ascending
    std::vector<int> right_categories; // nominal: the others of 0..k-1, ascending
    // Where a missing value of the column goes: "left", "right", or "none"
    // when the training data had no missing value in this column (a new
    // subject with one then goes to the daughter with more training cases).
    std::string missing_go = "none";
};

// A node's fitted model.
//
// The common model (one association): theta per retained outcome and one
// association omega on the number of positive pairs among the retained
// outcomes, P(y) = exp(sum theta_j y_j + omega t) / normaliser. Outcomes that
// are 0 or 1 in every case of the node are pure: not in the fit, their
// probability is their observed rate.
//
// The pairwise model: P(y) = exp(sum theta_j y_j + sum_{j<k} omega_jk y_j y_k)
// / Z over all outcomes, none removed (prior cases keep every parameter
// finite); its parameters as the fit left them are pair_params (theta_0 ..
// theta_{q-1}, then omega_jk for j < k in order) and log_normaliser (ln Z),
// and theta and omega_pairs show them.
struct fitted_node_model {
    bool fitted = false;             // the fit wrote its parameters and normaliser
    int model_node = -1;             // the node whose fit scores this node's cases (itself when
                                     // fitted, else its nearest fitted ancestor; -1: none)
    std::vector<int> retained;       // outcomes in the fit, ascending
    std::vector<float> theta;        // per outcome (q entries); 0 for a pure outcome
    std::vector<bool> pure;          // per outcome
    float omega = 0;                 // common model: association on the pair count
    std::vector<float> omega_pairs;  // pairwise model: q x q, row-major, symmetric, 0 diagonal
    float normaliser = 0;            // common model: A as the fit stored it
    std::vector<double> pair_params; // pairwise model: the fit's parameters
    double log_normaliser = 0;       // pairwise model: ln Z
    std::vector<double> probability; // per outcome: P(y_j = 1) under the model
};

struct model_node_entry {
    int number = 0;
    int parent = -1; // -1 for the root
    int left = 0;    // 0 for a terminal node of the grown tree
    int right = 0;
    int cases = 0;
    bool has_split = false;
    model_split split;
    float value = 0;            // the tree table's likelihood column: the negated log-likelihood
    std::vector<int> positives; // per outcome: cases positive
    long long pair_total = 0;   // positive pairs over the node's cases
    std::vector<double> rate;   // per outcome: positives / cases
    fitted_node_model model;
};

struct model_subtree {
    float alpha = 0;
    std::vector<int> pruned; // nodes made terminal to reach this subtree
    int terminal = 0;        // terminal nodes of the subtree
};

struct model_cross_validation {
    int folds = 0;
    int repeats = 0;
    std::string folds_from = "drawn";     // "drawn" (the random stream from seed 13) or a fold file
    std::vector<std::vector<float>> rows; // per repetition, one score per subtree
    std::vector<double> mean, se;         // per subtree (empty without rows)
    int best = -1;                        // 0-based subtree of the lowest mean
    int one_se = -1;                      // 0-based subtree chosen by the one-SE rule
};

struct fitted_model {
    int format_version = 1;
    std::string korva_version;
    std::string node_model_kind = "common"; // "common" (one association) or "pairwise"
    data_description data;
    // Per ordered covariate with missing values (engine covariate index c <
    // copies): the recoded values a missing case got, below every observed
    // value in the covariate and above in its copy.
    int n_covariates = 0;                // the engine's covariates, copies included
    std::vector<int> cov_column;         // per engine covariate: its data column
    std::vector<int> cov_levels;         // per engine covariate: 1 ordered, k >= 2 nominal
    std::vector<bool> is_copy;           // per engine covariate: a missingness copy
    std::vector<float> missing_value;    // per engine covariate: the value a missing case gets
    std::vector<std::string> outcomes;   // outcome names, in column order
    std::vector<model_node_entry> nodes; // the grown tree, node order
    std::vector<model_subtree> subtrees; // the pruning sequence, subtree k at k-1
    model_cross_validation cv;
};
