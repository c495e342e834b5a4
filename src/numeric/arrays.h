// Zero-based vectors and matrices (tables of separately allocated rows). Fresh
// storage is not initialised. Exhausted memory ends the run through fatal_error.
#pragma once

#include "numeric/real.h"

real* dvector(long n);
int* ivector(long n);
real** matrix(long rows, long columns);
int** imatrix(long rows, long columns);

void release_vector(real* v);
void release_vector(int* v);
// Releases rows rows-1 down to 0, then the table of rows.
void release_matrix(real** m, long rows);
void release_matrix(int** m, long rows);

#ifdef KORVA_FUZZ
// Fuzz builds only: releases every block obtained here and not yet released,
// so that an input stopped part-way leaves nothing behind for the next one.
void release_all_arrays();
#endif
