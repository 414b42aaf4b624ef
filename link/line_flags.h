#pragma once

// How workers hand the one line to each other. Each worker announces itself by taking its own
// flag (one atomic test-and-set), then owns the line through lineMutex, which every job on the
// line (poll cycle, command workers, graph reads, the FLASH write) holds for its whole run.
// With a single lock there is no order in which two workers can wait for each other.

#include <atomic>
#include <chrono>
#include <initializer_list>
#include <mutex>

namespace zorvan::link {

inline std::mutex lineMutex;

// A poll cycle or a command already on the line ends well within this; a job that waits longer
// for the line gives up and reports a failed exchange.
inline constexpr std::chrono::milliseconds kLineWait{30'000};
// A flag is held by a worker that may itself wait kLineWait for the line before its exchange.
inline constexpr std::chrono::milliseconds kFlagWait{kLineWait * 2};

// Waits, 1 ms between tries, until the flag was clear and this caller set it; false, with the
// flag untouched, when it stayed set for `bound`.
bool takeFlag(std::atomic<bool>& flag, std::chrono::milliseconds bound = kFlagWait);

// Waits, 1 ms between tests, until every flag is clear; false when one was still set after
// `bound`.
bool waitUntilClear(std::initializer_list<const std::atomic<bool>*> flags,
                    std::chrono::milliseconds bound = kFlagWait);

// Takes lineMutex, trying every millisecond like the flags; the lock does not own it when the
// line stayed busy for `bound`. (Polled rather than timed: the thread sanitizer cannot follow a
// timed lock, and the line's own waits are all in milliseconds anyway.)
std::unique_lock<std::mutex> takeLine(std::chrono::milliseconds bound = kLineWait);

} // namespace zorvan::link
