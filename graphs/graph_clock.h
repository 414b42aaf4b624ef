#pragma once

#include <chrono>

namespace zorvan::graphs {

// The moment a reading is taken, in seconds of a clock that never jumps: labels count elapsed
// time, which a change of the wall clock must not bend.
inline double graphClockSeconds() {
    using Seconds = std::chrono::duration<double>;
    return std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace zorvan::graphs
