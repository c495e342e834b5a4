// The steps of one fold's evaluation: routing the held-out cases down the fold
// tree, pruning it at one alpha while moving the held-out cases up, and the
// held-out score of the pruned tree.
#pragma once

#include "numeric/real.h"

// Fills test_node[i], the terminal node that held-out case i reaches.
void drop_test_cases(real** test_covariates, int c, const int* split_covariate,
                     const real* split_value, const int* left_daughter, int n_nodes,
                     int* test_node);

// Makes terminal every node of the current subtree whose link value is at most
// a + 1e-7, in repeated passes, keeping the branch sums and test_node current.
void prune_fold_tree(int n_nodes, const real* node_value, real* subtree_cost, int* left_daughter,
                     const int* parent, int* test_node, int c, int* subtree_leaves, double a,
                     int* in_subtree);

// Takes every node below t out of the subtree and moves the held-out cases of
// its terminal nodes to target.
void collapse_branch(int t, const int* left_daughter, int* in_subtree, int target, int* test_node,
                     int c);

// The fitted model a node's held-out cases are scored with: for every node, the
// node itself when its fit wrote a normaliser, else its nearest such ancestor,
// else -1 (no model: zero parameters, A = 2^q).
void assign_model_nodes(int n_nodes, const int* parent, const int* fitted, int* model_node);

// Clears the first n_nodes rows of stats_table and held_out, then adds every
// held-out case i to the statistics (all entries but the pair total) and the
// count of its node test_node[i]; a node number outside 0 .. n_nodes-1 stops
// the run ("node # out of range").
void held_out_stats(int** test_outcomes, const int* test_node, int c, int n_nodes,
                    int** stats_table, int* held_out);

// Adds the negated held-out log-likelihood of the current pruned tree into
// *score_slot. Node t's held-out cases are scored with the model of
// model_node[t]: its parameters node_params (theta of the n_retained retained
// outcomes listed in retained, then omega) and its normaliser node_A. The rows
// of stats_table and held_out (n_nodes entries) are overwritten as work storage.
// A node with a single held-out case adds nothing unless score_single_held_out
// (cv/cv_settings.h) is set.
//
// The node-by-node form: score_terms fills terms (n_nodes entries) with the
// score of every contributing node, in node order, and returns their number;
// add_score_terms adds them into the slot, storing it as a real after each.
// test_score is the two in turn.
int score_terms(int** test_outcomes, const int* test_node, int c, double* terms, int n_nodes,
                real** node_params, const real* node_A, const int* n_retained, int** retained,
                const int* model_node, int** stats_table, int* held_out);
void add_score_terms(const double* terms, int n_terms, real* score_slot);
void test_score(int** test_outcomes, const int* test_node, int c, real* score_slot, int n_nodes,
                real** node_params, const real* node_A, const int* n_retained, int** retained,
                const int* model_node, int** stats_table, int* held_out);

// score_terms for the pairwise model: node t's held-out cases, however few,
// scored under its own fit, with parameters node_params[t] (model/pairwise_fit.h
// layout) and log normaliser node_log_normaliser[t]. Every node of a fold tree
// has a fit of its own under this model.
int pairwise_score_terms(int** test_outcomes, const int* test_node, int c, double* terms,
                         int n_nodes, double** node_params, const double* node_log_normaliser,
                         int** stats_table, int* held_out);
