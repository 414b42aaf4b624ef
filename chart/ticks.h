#pragma once

#include <QString>
#include <vector>

namespace zorvan::chart {

struct Ticks {
    std::vector<double> values;
    double step = 0.0;
};

// Tick values within [minimum, maximum] at a step of 1, 2 or 5 times a power of ten, the smallest
// such step giving at most `wanted` intervals.
Ticks niceTicks(double minimum, double maximum, int wanted);

// A tick value with just the decimals its step needs, in the default locale.
QString tickText(double value, double step);

} // namespace zorvan::chart
