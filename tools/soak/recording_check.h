#pragma once

// Holds a recording file against what the line carried while it ran: every reading that reached
// the program whole must be in the file once, in order, with its value, and nothing else may be.

#include "sim/instrument.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace zorvan::soak {

struct RecordingCheck {
    int required = 0; // readings answered whole and in time
    int recorded = 0; // lines in the file
    int missing = 0;  // required readings not in the file
    int unsent = 0;   // lines whose value no answer carried at that place
    std::string firstFault;
    std::optional<std::size_t> firstMissing; // the index of the first required answer not found
    bool exact() const { return missing == 0 && unsent == 0; }
};

// `answers`: the sample answers given between the start and the stop of the run, oldest first.
// An answer later than `lateFrom` may have been given up by the program, and one behind
// leading garbage may or may not have been found, so either may be in the file; a dropped,
// cut or miscounted answer must not be. The last answer may have come while the run stopped.
RecordingCheck checkRecording(std::span<const sim::SampleAnswer> answers,
                              std::span<const std::int32_t> recorded,
                              std::chrono::milliseconds lateFrom);

} // namespace zorvan::soak
