#pragma once

#include <algorithm>
#include <limits>

namespace zorvan::chart {

// The lowest and highest of a set of values; empty until a value is included. A NaN is never
// included: it fails every comparison, so it changes neither end.
struct ValueRange {
    double minimum = std::numeric_limits<double>::infinity();
    double maximum = -std::numeric_limits<double>::infinity();

    bool empty() const { return minimum > maximum; }
    void include(double value) {
        minimum = value < minimum ? value : minimum;
        maximum = value > maximum ? value : maximum;
    }
    void include(const ValueRange& other) {
        minimum = std::min(minimum, other.minimum);
        maximum = std::max(maximum, other.maximum);
    }
};

} // namespace zorvan::chart
