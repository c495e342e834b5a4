// Clears in_subtree below node t and moves every held-out case of a terminal
// node below t to the target node.
#include "cv/fold_steps.h"

namespace {

void move_cases(int from, int target, int* test_node, int c) {
    for (int i = 0; i < c; i++)
        if (test_node[i] == from) test_node[i] = target;
}

} // namespace

void collapse_branch(int t, const int* left_daughter, int* in_subtree, int target, int* test_node,
                     int c) {
    int d = left_daughter[t];
    while (d != 0) {
        in_subtree[d] = 0;
        if (left_daughter[d] != 0)
            collapse_branch(d, left_daughter, in_subtree, target, test_node, c);
        else
            move_cases(d, target, test_node, c);
        in_subtree[d + 1] = 0;
        if (left_daughter[d + 1] == 0) {
            move_cases(d + 1, target, test_node, c);
            return;
        }
        d = left_daughter[d + 1];
    }
}
