#pragma once

// What the frequency-response sweep sends on the line: preparing instrument 1, writing its sweep
// set value, reading the humidity it then reports, and handing the instrument back at the end.
// Each runs on the calling thread, which owns the line (lineMutex) for the whole call. Set values
// are voltages in tens of millivolts.

#include <cstdint>
#include <optional>

namespace zorvan::link {

struct SweepPreparation {
    // Instrument 1 is in its normal mode and told its set value.
    bool deviceReady = false;
    // The set value it held, to be written back when the sweep window closes.
    std::uint16_t initialSetValue = 0;
};

// Puts instrument 1 into its normal mode when it is not known to be there and reads its set value.
SweepPreparation PrepareSweep();

// Writes the low and the high byte of the set value and has the instrument take it over. Only the
// take-over is repeated, once: a byte that did not arrive shows up in the readings. True when the
// take-over was acknowledged.
bool WriteSetValue(std::int32_t value);

// The start of a sweep: the start value written on a line cleared of stray bytes before and after.
void StartSweep(std::int32_t startValue);

// One reading: the humidity in hundredths of a percent, also left in graphSample1; nothing when
// instrument 1 did not answer.
std::optional<std::int32_t> ReadSweepHumidity();

// Writes back the set value instrument 1 held at the start and restarts it when asked to; true
// when it acknowledged the take-over and the restart.
bool EndSweep(std::uint16_t initialSetValue, bool restart);

} // namespace zorvan::link
