// The counting replacement of the global operator new (left out where
// AddressSanitizer brings its own), and the counter that switches it on for
// the calling thread.
#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GLINTMOTH_HAS_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define GLINTMOTH_HAS_ASAN 1
#endif

namespace {
thread_local bool counting = false;
thread_local long counted = 0;
} // namespace

namespace testsupport {

#ifdef GLINTMOTH_HAS_ASAN
bool allocationCountingAvailable() { return false; }
#else
bool allocationCountingAvailable() { return true; }
#endif

AllocationCounter::AllocationCounter() {
    counted = 0;
    counting = true;
}

AllocationCounter::~AllocationCounter() { counting = false; }

long AllocationCounter::allocations() const { return counted; }

} // namespace testsupport

#ifndef GLINTMOTH_HAS_ASAN

namespace {
void* countedAllocation(std::size_t size) {
    if (counting) {
        ++counted;
    }
    if (size == 0) {
        size = 1;
    }
    return std::malloc(size);
}
} // namespace

void* operator new(std::size_t size) {
    if (void* p = countedAllocation(size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = countedAllocation(size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return countedAllocation(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return countedAllocation(size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

#endif
