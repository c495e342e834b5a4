// evaluate_fold: grows a tree on a fold's training part, fits every node, drops
// the held-out cases down it, prunes it along the main alpha sequence and adds
// each subtree's held-out score into cv_scores.
#pragma once

#include "model/fit_workspace.h"
#include "tree/node_table.h"

void evaluate_fold(real** train_covariates, int** train_outcomes, int n_train, real* cv_scores,
                   real** test_covariates, int** test_outcomes, int n_test, node_table& nodes,
                   split_workspace& split, fit_workspace& fit);

// The value the fold trees are pruned at for subtree i of the main sequence.
real cv_alpha(int i);
