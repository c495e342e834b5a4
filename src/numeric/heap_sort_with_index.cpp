// heap_sort_with_index: in-place heap sort of 1-based real keys with int companions.
#include "numeric/heap_sort_with_index.h"

void heap_sort_with_index(int n, real* keys, int* companions) {
    if (n < 2) return;
    int l = n / 2 + 1;
    int ir = n;
    for (;;) {
        real key;
        int companion;
        if (l > 1) {
            l--;
            key = keys[l];
            companion = companions[l];
        } else {
            key = keys[ir];
            companion = companions[ir];
            keys[ir] = keys[1];
            companions[ir] = companions[1];
            if (--ir == 1) {
                keys[1] = key;
                companions[1] = companion;
                return;
            }
        }
        int i = l;
        int j = l + l;
        while (j <= ir) {
            if (j < ir && keys[j] < keys[j + 1]) j++;
            if (!(key < keys[j])) break;
            keys[i] = keys[j];
            companions[i] = companions[j];
            i = j;
            j += j;
        }
        keys[i] = key;
        companions[i] = companion;
    }
}
