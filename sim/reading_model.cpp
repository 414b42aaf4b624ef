#include "sim/reading_model.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace zorvan::sim {

namespace {

double seconds(Clock::duration elapsed) {
    return std::chrono::duration<double>(elapsed).count();
}

// A slow swing with a faint ripple on top: steady near the turning points, moving in between.
double drift(const Reading& reading, Clock::duration elapsed, double amplitude, double period) {
    if (!reading.drifting) {
        return 0.0;
    }
    const double t = seconds(elapsed) + reading.driftPhase;
    constexpr double kTwoPi = 2.0 * std::numbers::pi;
    return amplitude * std::sin(kTwoPi * t / period) +
           amplitude * 0.01 * std::sin(kTwoPi * t / 1.7);
}

// A repeatable pseudo-random number in [-1, 1] for a whole number (splitmix64).
double scatter(std::uint64_t value) {
    value += 0x9E3779B97F4A7C15ULL;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
    value ^= value >> 31;
    return static_cast<double>(value >> 11) / static_cast<double>(1ULL << 52) - 1.0;
}

constexpr double kNoiseAmplitude = 0.04;
constexpr double kNoiseStepSeconds = 0.01;
constexpr double kStepSeconds = 20.0;
constexpr double kStepAmplitude = 0.6;
// A third of the stretches carry a step.
constexpr double kStepShare = 1.0 / 3.0;

} // namespace

double sensorResponse(std::uint16_t setValue) {
    const double detuning = (static_cast<double>(setValue) - kResonanceSetValue) / kResonanceWidth;
    return kResponseFloor + (1.0 - kResponseFloor) / (1.0 + detuning * detuning);
}

double humidityAt(const Reading& reading, Clock::duration elapsed) {
    return reading.humidity + drift(reading, elapsed, 0.8, 60.0);
}

double temperature1At(const Reading& reading, Clock::duration elapsed) {
    return reading.temperature1 + drift(reading, elapsed, 0.3, 90.0);
}

double temperature2At(const Reading& reading, Clock::duration elapsed) {
    return reading.temperature2 + drift(reading, elapsed, 0.25, 120.0);
}

double signalDetailAt(const Reading& reading, Clock::duration elapsed) {
    if (!reading.drifting) {
        return 0.0;
    }
    const double t = seconds(elapsed) + reading.driftPhase;
    const auto noiseSlot = static_cast<std::uint64_t>(t / kNoiseStepSeconds);
    const auto stretch = static_cast<std::uint64_t>(t / kStepSeconds);
    const double noise = kNoiseAmplitude * scatter(noiseSlot);
    const bool stepped = (scatter(stretch * 2) + 1.0) / 2.0 < kStepShare;
    const double step = stepped ? kStepAmplitude * scatter(stretch * 2 + 1) : 0.0;
    return noise + step;
}

} // namespace zorvan::sim
