#include "tools/soak/fault_schedule.h"

namespace zorvan::soak {

using std::chrono::milliseconds;
using std::chrono::seconds;

FaultSchedule::FaultSchedule(std::uint64_t seed, milliseconds readTimeout, milliseconds portEvery,
                             std::array<std::uint8_t, 2> addresses)
    : random_(seed), readTimeout_(readTimeout), portEvery_(portEvery), addresses_(addresses) {
}

int FaultSchedule::uniform(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random_);
}

FaultSpell FaultSchedule::nextSpell() {
    FaultSpell spell{};
    spell.kind = static_cast<FaultKind>(uniform(0, int(FaultKind::Silent)));
    // The instrument the graphs read is the one whose faults matter most.
    spell.address = addresses_[uniform(0, 3) == 0 ? 1 : 0];
    spell.lasting = milliseconds(uniform(1000, 6000));
    spell.pauseAfter = milliseconds(uniform(3000, 12000));
    sim::Faults& faults = spell.faults;
    switch (spell.kind) {
    case FaultKind::Garbage:
        for (int i = uniform(1, 8); i > 0; --i) {
            faults.leadingGarbage.push_back(std::uint8_t(uniform(0, 255)));
        }
        break;
    case FaultKind::Truncated:
        faults.truncateBy = uniform(1, 3);
        break;
    case FaultKind::BadChecksum:
        faults.corruptChecksum = true;
        break;
    case FaultKind::Dropped:
        faults.dropEveryNth = uniform(1, 3);
        break;
    case FaultKind::Late:
        faults.answerDelay = milliseconds(uniform(0, int(readTimeout_.count())));
        break;
    case FaultKind::Stray:
        for (int i = uniform(1, 6); i > 0; --i) {
            faults.strayBytes.push_back(std::uint8_t(uniform(0, 255)));
        }
        break;
    case FaultKind::Silent:
        faults.silent = true;
        spell.lasting = seconds(20);
        break;
    }
    return spell;
}

milliseconds FaultSchedule::nextPortAbsence() {
    return milliseconds(uniform(1000, 5000));
}

milliseconds FaultSchedule::nextPortPresence() {
    return milliseconds(uniform(int(portEvery_.count() / 2), int(portEvery_.count())));
}

std::string nameOf(FaultKind kind) {
    switch (kind) {
    case FaultKind::Garbage:
        return "garbage before answers";
    case FaultKind::Truncated:
        return "truncated answers";
    case FaultKind::BadChecksum:
        return "bad checksums";
    case FaultKind::Dropped:
        return "dropped answers";
    case FaultKind::Late:
        return "late answers";
    case FaultKind::Stray:
        return "stray bytes after answers";
    case FaultKind::Silent:
        return "instrument silent";
    }
    return {};
}

} // namespace zorvan::soak
