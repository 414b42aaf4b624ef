#pragma once

// The line's misbehaviours over a soak, drawn from a seed so that a failing soak can be run
// again with the same faults in the same order: a short fault now and then on one of the
// instruments, and the port going away every few minutes.

#include "sim/faults.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>

namespace zorvan::soak {

enum class FaultKind { Garbage, Truncated, BadChecksum, Dropped, Late, Stray, Silent };

struct FaultSpell {
    FaultKind kind;
    std::uint8_t address;
    sim::Faults faults;
    std::chrono::milliseconds lasting;
    std::chrono::milliseconds pauseAfter; // before the next spell starts
};

class FaultSchedule {
public:
    // Late answers come up to `readTimeout` late; the port stays between half of `portEvery`
    // and all of it before it goes away again.
    FaultSchedule(std::uint64_t seed, std::chrono::milliseconds readTimeout,
                  std::chrono::milliseconds portEvery, std::array<std::uint8_t, 2> addresses);

    FaultSpell nextSpell();
    // How long the port stays away, and how long until it goes away again.
    std::chrono::milliseconds nextPortAbsence();
    std::chrono::milliseconds nextPortPresence();

private:
    int uniform(int low, int high);

    std::mt19937_64 random_;
    std::chrono::milliseconds readTimeout_;
    std::chrono::milliseconds portEvery_;
    std::array<std::uint8_t, 2> addresses_;
};

std::string nameOf(FaultKind kind);

} // namespace zorvan::soak
