#pragma once

// How workers hand the one line to each other. Each worker announces itself by taking its own
// flag (one atomic test-and-set), then owns the line through lineMutex, which every job on the
// line (poll cycle, command workers, graph reads, the FLASH write) holds for its whole run.
// With a single lock there is no order in which two workers can wait for each other.

#include <atomic>
#include <initializer_list>
#include <mutex>

namespace zorvan::link {

// Timed, so that a job can give up waiting for the line instead of waiting for ever.
inline std::timed_mutex lineMutex;

// Waits, 1 ms between tries, until the flag was clear and this caller set it.
void takeFlag(std::atomic<bool>& flag);

// Waits, 1 ms between tests, until every flag is clear.
void waitUntilClear(std::initializer_list<const std::atomic<bool>*> flags);

} // namespace zorvan::link
