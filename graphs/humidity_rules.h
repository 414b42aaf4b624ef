#pragma once

// The humidity-and-temperature graph's rules: readings averaged into points, the large
// current-value figures and the colour of the bar indicator.

#include <QColor>
#include <QString>
#include <optional>

namespace zorvan::graphs {

struct HumidityReading {
    double humidity = 0.0;
    double temperature1 = 0.0;
    double temperature2 = 0.0;
};

// Sums one-second readings until `period` of them are in, then gives their average and starts
// again. A stop does not clear it: only a produced point does.
class HumidityAverage {
public:
    std::optional<HumidityReading> add(const HumidityReading& reading, int period);
    int count() const { return count_; }

private:
    HumidityReading sum_;
    int count_ = 0;
};

// The current humidity: one decimal less than the instrument's, and a blank after it.
QString humidityFigure(double humidity, int graphDecimals);
// A temperature with two decimals; short ones get a blank after them so the figures line up.
QString temperatureFigure(double temperature);

struct ToleranceLimits {
    double tu2 = 0.0;
    double tu1 = 0.0;
    double to1 = 0.0;
    double to2 = 0.0;
};

// Green inside TU1..TO1, yellow in the bands up to TU2 and TO2, red outside; the limits are
// compared in that order as they stand, even when they are out of order.
QColor indicatorColour(double value, const ToleranceLimits& limits);

} // namespace zorvan::graphs
