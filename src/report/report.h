// korva-report: reading korva's report file "infor" back, choosing a subtree of
// the pruning sequence from the cross-validation rows, and drawing it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "numeric/held_out_rule.h"

// One row of the tree table.
struct report_node {
    int number = 0;
    int cases = 0;
    int left = 0;   // left daughter, 0 for a terminal node of the grown tree
    int right = 0;  // right daughter (left + 1), 0 for a terminal node
    int column = 0; // data column of the split covariate, counted from 1
    bool nominal = false;
    double cut = 0;                    // ordered split: values <= cut go left
    std::vector<int> right_categories; // nominal split: categories that go right
    double likelihood = 0;             // negated maximised log-likelihood
    int line = 0;                      // line of the row in the file
};

// One line of the pruning block: subtree k and the nodes made terminal to reach it.
struct report_subtree {
    double alpha = 0;
    std::vector<int> pruned;
    int line = 0;
};

// The whole report file.
struct report_file {
    std::string name; // file name, for messages
    std::vector<report_node> nodes;
    std::vector<report_subtree> subtrees;     // entry k-1 describes subtree k
    std::vector<std::vector<double>> cv_rows; // one score per subtree per repetition
    std::vector<int> cv_lines;                // file line of each row
};

// Per-subtree summary of the cross-validation rows and the two selections.
struct cv_summary {
    int repetitions = 0;
    std::vector<int> terminal_nodes; // per subtree
    std::vector<double> mean;        // per subtree; meaningless without repetitions
    std::vector<double> se;          // sd / sqrt(R); meaningless below two repetitions
    int best = -1;                   // index of the lowest mean, -1 without repetitions
    int one_se = -1;                 // index chosen by the one-standard-error rule
    // The folds and subjects of the run when known (a model file records them,
    // a report file does not); 0 when unknown.
    int folds = 0;
    int subjects = 0;
};

// Reads and checks a report file. On failure returns false and sets `error` to
// "FILE:LINE: what is wrong" (or "FILE: ..." when no line applies).
bool read_report(const std::string& path, report_file& rep, std::string& error);

// Same, from text already in memory; `name` is used in messages.
bool parse_report(const std::string& text, const std::string& name, report_file& rep,
                  std::string& error);

// Membership of subtree k (1-based) of the pruning sequence: in_subtree[t] = 1 for the
// nodes that remain, terminal[t] = 1 for those that are terminal in it.
void subtree_membership(const report_file& rep, int k, std::vector<int>& in_subtree,
                        std::vector<int>& terminal);

// Makes node t terminal in the membership arrays and drops its descendants. Returns
// false (and changes nothing) when t is not an internal node of the current subtree.
bool prune_node(const std::vector<report_node>& nodes, int t, std::vector<int>& in_subtree,
                std::vector<int>& terminal);

// Number of terminal nodes of every subtree of the sequence.
void subtree_sizes(const report_file& rep, std::vector<int>& terminal_nodes);

// Means, standard errors and the lowest-mean and one-standard-error selections.
void summarize_cv(const report_file& rep, cv_summary& sum);

// The table printed by korva-report.
void print_table(std::ostream& out, const report_file& rep, const cv_summary& sum);

// Reads column names: the header row of a CSV file (quotes removed), or names
// separated by white space; false with `error` set on failure.
bool read_names(const std::string& path, std::vector<std::string>& names, std::string& error);

// Text of the rule a case follows to the left daughter of node t, e.g.
// "column 7 <= 2.5" or "column 3 in {0,2}"; names replace "column N" when given.
std::string split_rule(const report_node& node, const std::vector<std::string>& names);

// Subtree k (1-based) as a Graphviz DOT graph.
void write_dot(std::ostream& out, const report_file& rep, int k,
               const std::vector<std::string>& names);

// Renders DOT text to a picture file with Graphviz's dot, format "svg" or "png".
// False with `error` set when dot is not installed or fails.
bool render_with_dot(const std::string& dot_text, const std::string& format,
                     const std::string& path, std::string& error);

// The cross-validation curve (mean with SE bars against terminal nodes) as SVG.
void write_cv_plot(std::ostream& out, const report_file& rep, const cv_summary& sum);
