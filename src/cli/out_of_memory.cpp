// The korva program's allocation functions: storage that cannot be had ends
// the run with one error line saying how much was asked for (status 1, as any
// other stop), instead of an uncaught exception that aborts the process and
// leaves a report half written. A thread that captures stops (a fold worker)
// hands the stop to the thread that performs it, as for every other stop.
#include <cstdlib>
#include <new>

#include "numeric/fatal_error.h"

namespace {

[[noreturn]] void out_of_memory(std::size_t size) {
    input_error("out of memory: %zu bytes could not be allocated", size);
}

void* allocate(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) out_of_memory(size);
    return p;
}

void* allocate_aligned(std::size_t size, std::align_val_t align) {
    const std::size_t a = static_cast<std::size_t>(align);
    void* p = std::aligned_alloc(a, (size + a - 1) / a * a);
    if (p == nullptr) out_of_memory(size);
    return p;
}

} // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}

void* operator new[](std::size_t size) {
    return allocate(size);
}

void* operator new(std::size_t size, std::align_val_t align) {
    return allocate_aligned(size, align);
}

void* operator new[](std::size_t size, std::align_val_t align) {
    return allocate_aligned(size, align);
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete[](void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}

void operator delete[](void* p, std::align_val_t) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}

void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}

// The nothrow forms report failure to their caller (the standard library's
// temporary buffers fall back to less storage), and must come from the same
// heap as the others, since their storage is given back through them.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new(std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
    const std::size_t a = static_cast<std::size_t>(align);
    return std::aligned_alloc(a, (size + a - 1) / a * a);
}

void* operator new[](std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
    const std::size_t a = static_cast<std::size_t>(align);
    return std::aligned_alloc(a, (size + a - 1) / a * a);
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(p);
}

void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(p);
}
