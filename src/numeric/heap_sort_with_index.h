// heap_sort_with_index: sorts keys[1..n] ascending in place and moves
// companions[1..n] with them. Entry 0 of both is never touched.
#pragma once

#include "numeric/real.h"

// Not stable; among equal keys the order is the one the heap steps leave.
// n below 2 leaves both vectors unchanged.
void heap_sort_with_index(int n, real* keys, int* companions);
