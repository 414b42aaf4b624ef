#pragma once

// What the process holds, read from /proc: what a program that runs for days must keep flat.

#include <cstdint>

namespace zorvan::soak {

struct ProcessFigures {
    std::int64_t residentBytes = 0;
    int threads = 0;
    int openFiles = 0;
};

ProcessFigures processFigures();

} // namespace zorvan::soak
