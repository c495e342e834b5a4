// dvector, ivector, matrix, imatrix and their releases.
#include "numeric/arrays.h"

#include <cstdlib>

#include "numeric/fatal_error.h"

#ifdef KORVA_FUZZ
#include <unordered_set>
#endif

namespace {

#ifdef KORVA_FUZZ
// Every block handed out and not yet released.
std::unordered_set<void*>& live_blocks() {
    static std::unordered_set<void*> blocks;
    return blocks;
}
#endif

void give_back(void* p) {
#ifdef KORVA_FUZZ
    live_blocks().erase(p);
#endif
    std::free(p);
}

// malloc(0) may return null; a zero-length block is still a valid allocation.
void* obtain(long count, unsigned long size, const char* message) {
    if (count < 0) fatal_error(message);
    unsigned long bytes = static_cast<unsigned long>(count) * size;
    if (size != 0 && bytes / size != static_cast<unsigned long>(count)) fatal_error(message);
    void* p = std::malloc(bytes == 0 ? 1 : bytes);
    if (p == nullptr) fatal_error(message);
#ifdef KORVA_FUZZ
    live_blocks().insert(p);
#endif
    return p;
}

template <typename T> T** rows_of(long rows, long columns, const char* message) {
    T** m = static_cast<T**>(obtain(rows, sizeof(T*), message));
    for (long i = 0; i < rows; i++) m[i] = static_cast<T*>(obtain(columns, sizeof(T), message));
    return m;
}

template <typename T> void release_rows(T** m, long rows) {
    if (m == nullptr) return;
    for (long i = rows - 1; i >= 0; i--) give_back(m[i]);
    give_back(m);
}

} // namespace

real* dvector(long n) {
    return static_cast<real*>(obtain(n, sizeof(real), "allocation failure in dvector()"));
}

int* ivector(long n) {
    return static_cast<int*>(obtain(n, sizeof(int), "allocation failure in ivector()"));
}

real** matrix(long rows, long columns) {
    return rows_of<real>(rows, columns, "error in matrix");
}

int** imatrix(long rows, long columns) {
    return rows_of<int>(rows, columns, "error in imatrix");
}

void release_vector(real* v) {
    give_back(v);
}
void release_vector(int* v) {
    give_back(v);
}
void release_matrix(real** m, long rows) {
    release_rows(m, rows);
}
void release_matrix(int** m, long rows) {
    release_rows(m, rows);
}

#ifdef KORVA_FUZZ
void release_all_arrays() {
    for (void* p : live_blocks()) std::free(p);
    live_blocks().clear();
}
#endif
