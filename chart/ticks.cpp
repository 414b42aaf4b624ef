#include "chart/ticks.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace zorvan::chart {

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
    for (double k = first; k * step <= maximum + step * 1e-9; k += 1.0) {
        // Multiplying, not adding up, keeps rounding from drifting; a zero stays a clean zero.
        const double value = k * step;
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
