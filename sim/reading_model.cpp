#include "sim/reading_model.h"

#include <cmath>
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

} // namespace zorvan::sim
