#pragma once

// Bounded waits on a descriptor, shared by the POSIX transports.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <poll.h>
#include <sys/types.h>

namespace zorvan::link {

// Waits for `events` on the descriptor until the deadline; false on time-out, hang-up or error.
// A wait that `abandonable` lets readsAbandoned cut short looks at it every kAbandonNoticeMs.
bool waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline,
             bool abandonable);

// Writes all `count` bytes through `writeOnce` (a write() or send() on a non-blocking
// descriptor), waiting while the descriptor is full, at most one second. Returns how many went;
// `failure` is set when a write ended it: its errno, or 0 for a write that took nothing.
std::size_t writeWithin(int fd, const std::uint8_t* bytes, std::size_t count,
                        const std::function<ssize_t(const std::uint8_t*, std::size_t)>& writeOnce,
                        std::optional<int>& failure);

} // namespace zorvan::link
