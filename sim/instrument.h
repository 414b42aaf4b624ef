#pragma once

// One simulated instrument: what it measures, what its front panel shows, and how it carries
// out every command the master sends. Its state is public so that tests can read and set any
// of it; the bus guards it with its lock (see InstrumentHandle in sim/bus.h).

#include "sim/faults.h"
#include "sim/flash_memory.h"
#include "sim/indicator_text.h"
#include "sim/reading_model.h"
#include "sim/request.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace zorvan::sim {

// The version answer (command 236). Byte 1 tells the kind: below 80 the "4.3" kind, 80 or more
// the "8.0" kind, 100 or more reads graph samples with code 0.
using VersionBytes = std::array<std::uint8_t, 4>;

// Key codes of command 253.
constexpr std::uint8_t kKeyF1 = 1;
constexpr std::uint8_t kKeyF2 = 2;
constexpr std::uint8_t kKeyT = 4;
constexpr std::uint8_t kKeyZero = 8;

// Lamp bits of the panel answer (command 47, data byte 0).
constexpr std::uint8_t kLampTare = 0x80;
constexpr std::uint8_t kLampZero = 0x40;
constexpr std::uint8_t kLampStable = 0x20;
constexpr std::uint8_t kLampDigitalOut = 0x10;

// FLASH readiness bytes (command 237): the small kind takes a page in 16-byte pieces, the large
// kind in 128-byte pieces.
constexpr std::uint8_t kReadinessSmallPieces = 99;
constexpr std::uint8_t kReadinessLargePieces = 100;

// What the indicator shows; F1 steps forward through the views, F2 back.
enum class DisplayView { Reading, Temperature, SetVoltage };

// Fixed lamps and codes that replace the live panel, for tests that need exact indicator bytes.
struct PanelOverride {
    std::uint8_t lamps = 0;
    IndicatorCodes codes{};
};

// What the faults did to an answer: nothing, garbage in front of it (the answer itself is
// whole), noise behind it that closes another whole answer of its length (as the tail of an
// answer behind garbage would), or broken it (lost, cut short or a wrong checksum).
enum class AnswerDamage { None, Garbage, NoiseClosingAnAnswer, Broken };

// A graph sample as it went onto the line, for checking a recording against what the line
// carried.
struct SampleAnswer {
    Clock::time_point at;
    std::int32_t value = 0;
    AnswerDamage damage = AnswerDamage::None;
    std::chrono::milliseconds delay{0};
};

class Instrument {
public:
    Instrument(std::uint8_t address, VersionBytes version,
               Clock::time_point startedAt = Clock::now());

    // Carries out a request addressed to this instrument and returns the bytes it puts on the
    // line, after its faults; nothing when it stays silent (faults, or a code it does not know).
    std::optional<std::vector<std::uint8_t>> respond(const Request& request, Clock::time_point now);

    // The humidity seen through the sensor response at the applied set value.
    double measuredValue(Clock::time_point now) const;
    // The measured value less zero and tare: what the indicator shows in the reading view.
    double shownValue(Clock::time_point now) const;
    // The shown value as the integer of the graph reads: shown value times 10^decimals.
    std::int32_t sampleValue(Clock::time_point now) const;
    // A graph read's sample: the shown value with the signal's noise and steps.
    std::int32_t graphSampleValue(Clock::time_point now) const;
    bool stable(Clock::time_point now) const;
    std::uint8_t lamps(Clock::time_point now) const;
    IndicatorCodes indicatorCodes(Clock::time_point now) const;

    std::uint8_t address;
    VersionBytes version;
    Reading reading;
    int decimals = 2; // codes 6 and 31 answer decimals - 1

    // Front panel.
    bool tared = false;
    bool zeroed = false;
    double tareOffset = 0.0;
    double zeroOffset = 0.0;
    DisplayView view = DisplayView::Reading;
    std::optional<PanelOverride> panelOverride;
    std::vector<std::uint8_t> keyPresses; // key code of every 253, in order
    std::uint8_t keyHeld = 0;             // the key pressed last, until 255 with 12
    int keyReleases = 0;
    bool keyboardLocked = false; // holds the instrument's own keys; 253 from the line still acts
    bool digitalOut = false;
    bool digitalOutRemote = false; // cleared by 252 with 0: the master gave up control

    // Modes and sweep.
    std::uint8_t mode = 0;                              // last 254 with 0 or 1
    std::uint16_t setValue = kResonanceSetValue;        // register written by codes 5 and 6
    std::uint16_t appliedSetValue = kResonanceSetValue; // taken over by 255 with 100

    FlashMemory flash;
    std::uint8_t flashReadiness;
    int restartCount = 0;
    int refusedReads = 0; // reads of a code it does not read out, or with another count N
    Faults faults;
    bool logSampleAnswers = false;
    std::vector<SampleAnswer> sampleAnswers; // while logSampleAnswers; the reader empties it

private:
    void logSampleAnswer(const Request& request, Clock::time_point now,
                         const std::vector<std::uint8_t>& answer, AnswerDamage damage);
    std::optional<std::vector<std::uint8_t>> carryOut(const Request& request,
                                                      Clock::time_point now);
    std::optional<std::vector<std::uint8_t>> readData(std::uint8_t code,
                                                      Clock::time_point now) const;
    std::optional<std::vector<std::uint8_t>> readRegister(std::uint8_t code,
                                                          Clock::time_point now) const;
    bool write(const Request& request);
    bool control(const Request& request, Clock::time_point now);
    void pressKey(std::uint8_t key, Clock::time_point now);
    void setDigitalOut(std::uint8_t parameter);
    void command254(std::uint8_t parameter);
    void command255(std::uint8_t parameter);
    void restart();

    Clock::time_point startedAt_;
    std::uint64_t answersGiven_ = 0;
};

} // namespace zorvan::sim
