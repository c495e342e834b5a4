// Clears in_subtree for every node below t, following left_daughter.
#include "prune/subtree_sums.h"

void remove_descendants(int t, const int* left_daughter, int* in_subtree) {
    int d = left_daughter[t];
    while (d != 0) {
        if (in_subtree[d] == 1) {
            in_subtree[d] = 0;
            remove_descendants(d, left_daughter, in_subtree);
        }
        // A right daughter already out of the subtree had its branch removed
        // together with it.
        if (in_subtree[d + 1] == 0) return;
        in_subtree[d + 1] = 0;
        d = left_daughter[d + 1];
    }
}
