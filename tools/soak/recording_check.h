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

// What a line fault excuses besides a damaged answer.
struct LineExcuses {
    // An answer later than this may have been given up by the program.
    std::chrono::milliseconds lateFrom{0};
    // An answer given this long before the port went away (besides its own delay) may have gone
    // with the port before the program read it.
    std::chrono::milliseconds lostWithin{0};
    std::span<const sim::Clock::time_point> portDepartures;
};

// `answers`: the sample answers given between the start and the stop of the run, oldest first.
// A late answer, one lost with the port, one behind leading garbage and one whose noise behind it
// closes another answer may or may not be in the file; a dropped, cut or miscounted answer must not
// be. The last answer may have come while the run stopped.
RecordingCheck checkRecording(std::span<const sim::SampleAnswer> answers,
                              std::span<const std::int32_t> recorded, const LineExcuses& excuses);

} // namespace zorvan::soak
