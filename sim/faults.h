#pragma once

// Misbehaviours a simulated instrument can be switched to, so tests see what a real line does
// to the master: silence, late answers, lost answers, damaged answers, and a page of FLASH
// that will not burn.

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace zorvan::sim {

struct Faults {
    bool silent = false;                      // ignores every request, as if unplugged
    std::chrono::milliseconds answerDelay{0}; // every answer starts this much later
    int dropEveryNth = 0;                     // loses every n-th answer (0: none)
    int dropNext = 0;                         // loses the next k answers
    bool corruptChecksum = false;             // last answer byte inverted
    int truncateBy = 0;                       // answers end k bytes early
    std::vector<std::uint8_t> leadingGarbage; // sent ahead of every answer
    // Sent strayDelay after every answer has ended: noise that a master finds waiting in its
    // receive buffer before the next request unless it purges it.
    std::vector<std::uint8_t> strayBytes;
    std::chrono::milliseconds strayDelay{3};
    std::map<std::uint8_t, std::uint8_t> failingPages; // FLASH page index -> its page result
};

// What reaches the line of answer number `answerNumber` (counted from 1) of an instrument with
// these faults; nothing for a lost answer. Consumes one of `dropNext`.
std::optional<std::vector<std::uint8_t>> damageAnswer(Faults& faults, std::uint64_t answerNumber,
                                                      std::vector<std::uint8_t> answer);

} // namespace zorvan::sim
