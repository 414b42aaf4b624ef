#pragma once

// Bounded waits on a descriptor, shared by the POSIX transports.

#include <chrono>
#include <poll.h>

namespace zorvan::link {

// Waits for `events` on the descriptor until the deadline; false on time-out, hang-up or error.
// A wait that `abandonable` lets readsAbandoned cut short looks at it every kAbandonNoticeMs.
bool waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline,
             bool abandonable);

} // namespace zorvan::link
