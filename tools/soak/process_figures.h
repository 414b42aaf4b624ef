#pragma once

// What the process holds, read from /proc and the allocator: what a program that runs for days
// must keep flat.

#include <cstdint>

namespace zorvan::soak {

struct ProcessFigures {
    std::int64_t residentBytes = 0;
    // What the program holds on the heap, as against what the allocator keeps of the memory freed
    // since. It reads 0 under the sanitizers, whose allocator keeps its own account.
    std::int64_t heapInUseBytes = 0;
    int threads = 0;
    int openFiles = 0;
};

ProcessFigures processFigures();

} // namespace zorvan::soak
