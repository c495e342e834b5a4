// Fills a new vector with the numbers 0 .. n-1 in the order drawn by RAN1 from
// the seed: each draw picks one of the numbers still left, in ascending order.
#include "cv/cross_validate.h"

#include "numeric/arrays.h"
#include "numeric/ran1.h"

int* random_permutation(int* seed, int n) {
    int* left = ivector(n);
    int* result = ivector(n);
    for (int i = 0; i < n; i++) left[i] = i;
    for (int j = 0; j < n; j++) {
        int m = n - j;
        double u = RAN1(seed);
        int idx = static_cast<int>(u * m);
        // RAN1 can return 1.0 itself.
        if (idx >= m - 1) idx = m - 1;
        result[j] = left[idx];
        for (int k = idx; k < m - 1; k++) left[k] = left[k + 1];
    }
    release_vector(left);
    return result;
}
