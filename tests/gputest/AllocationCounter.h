// Counts the calls of the global operator new made on the calling thread while
// an AllocationCounter exists. The counting operator new replaces the standard
// one only in builds without AddressSanitizer, which brings its own.
#pragma once

namespace testsupport {

// False in sanitizer builds: tests that need the count skip there.
bool allocationCountingAvailable();

class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    long allocations() const;
};

} // namespace testsupport
