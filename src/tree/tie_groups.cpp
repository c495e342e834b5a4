// tie_groups: fills the run boundaries of a sorted value vector; a new run
// starts at each value that is less or greater than its run's first value.
#include "tree/grow_state.h"

int tie_groups(const real* p, int m, int* b) {
    b[0] = 0;
    b[1] = 0;
    int groups = 1;
    int start = 0;
    for (int i = 0; i < m; i++) {
        if (p[i] < p[start] || p[i] > p[start]) {
            groups++;
            b[groups] = b[groups - 1] + 1;
            start = b[groups - 1];
        } else {
            b[groups]++;
        }
    }
    return groups;
}
