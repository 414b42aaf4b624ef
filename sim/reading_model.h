#pragma once

// What a simulated instrument measures. The humidity drifts slowly around a centre (or stands
// still for tests); the sensor is excited through the instrument's set voltage and answers with
// a resonance peak, so the reading is the humidity times the response at the applied voltage.
// At the factory set value the response is 1 and the reading is the humidity itself.

#include "sim/request.h"

#include <cstdint>

namespace zorvan::sim {

// Set values are voltages in tens of millivolts.
constexpr std::uint16_t kResonanceSetValue = 250;
constexpr double kResonanceWidth = 40.0;
constexpr double kResponseFloor = 0.2;

// How far the reading may move within one second for the instrument to call it stable.
constexpr double kStableBand = 0.05;

struct Reading {
    double humidity = 45.0;     // percent
    double temperature1 = 23.4; // degrees Celsius
    double temperature2 = 24.8;
    bool drifting = true;
    double driftPhase = 0.0; // seconds; gives each instrument its own course
};

// Relative response of the sensor at a set value: 1 at the resonance, falling towards the floor.
double sensorResponse(std::uint16_t setValue);

// The humidity at `elapsed` time since the instrument started.
double humidityAt(const Reading& reading, Clock::duration elapsed);
double temperature1At(const Reading& reading, Clock::duration elapsed);
double temperature2At(const Reading& reading, Clock::duration elapsed);

// What a graph read sees on top of the humidity: sensor noise and, now and then, a step that
// holds for a while, as when a door opens beside the sensor. 0 while the reading stands still.
double signalDetailAt(const Reading& reading, Clock::duration elapsed);

} // namespace zorvan::sim
