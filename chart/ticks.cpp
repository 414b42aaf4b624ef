#include "chart/ticks.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace zorvan::chart {

namespace {

// More than any axis has room for.
constexpr double kMostTicks = 1000.0;

} // namespace

Ticks niceTicks(double minimum, double maximum, int wanted) {
    const double span = maximum - minimum;
    if (!(span > 0.0) || !std::isfinite(span)) {
        return {{minimum}, 0.0};
    }
    const double rough = span / std::max(1, wanted);
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    const double fraction = rough / magnitude;
    const double step = magnitude * (fraction <= 1.0   ? 1.0
                                     : fraction <= 2.0 ? 2.0
                                     : fraction <= 5.0 ? 5.0
                                                       : 10.0);
    Ticks ticks{{}, step};
    const double first = std::ceil(minimum / step - 1e-9);
    const double last = std::floor(maximum / step + 1e-9);
    // Far from zero the steps drown in the values' own precision: one tick at each end then.
    if (!(last - first < kMostTicks) || first + 1.0 == first) {
        return {{minimum, maximum}, span};
    }
    for (int i = 0; first + i <= last; ++i) {
        // Multiplying, not adding up, keeps rounding from drifting; a zero stays a clean zero.
        const double value = (first + i) * step;
        ticks.values.push_back(std::abs(value) < step * 1e-9 ? 0.0 : value);
    }
    return ticks;
}

QString tickText(double value, double step) {
    const int decimals =
        step > 0.0 ? std::clamp(int(-std::floor(std::log10(step) + 1e-9)), 0, 15) : 0;
    return QLocale().toString(value, 'f', decimals);
}

} // namespace zorvan::chart
