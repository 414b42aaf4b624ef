#include "graphs/humidity_rules.h"

#include "settings/number_format.h"

#include <algorithm>

namespace zorvan::graphs {

namespace {

constexpr int kShortFigure = 5;
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kGreen(0, 128, 0);

QString fixed(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    text.replace(QLatin1Char('.'), settings::decimalSeparator());
    return text;
}

} // namespace

std::optional<HumidityReading> HumidityAverage::add(const HumidityReading& reading, int period) {
    sum_.humidity += reading.humidity;
    sum_.temperature1 += reading.temperature1;
    sum_.temperature2 += reading.temperature2;
    ++count_;
    if (count_ < period) {
        return std::nullopt;
    }
    const double n = count_;
    const HumidityReading average{sum_.humidity / n, sum_.temperature1 / n, sum_.temperature2 / n};
    sum_ = {};
    count_ = 0;
    return average;
}

QString humidityFigure(double humidity, int graphDecimals) {
    return fixed(humidity, std::max(graphDecimals - 1, 0)) + QLatin1Char(' ');
}

QString temperatureFigure(double temperature) {
    QString text = fixed(temperature, 2);
    if (text.size() <= kShortFigure) {
        text += QLatin1Char(' ');
    }
    return text;
}

QColor indicatorColour(double value, const ToleranceLimits& limits) {
    if (value < limits.tu2) {
        return kRed;
    }
    if (value <= limits.tu1) {
        return kYellow;
    }
    if (value <= limits.to1) {
        return kGreen;
    }
    if (value <= limits.to2) {
        return kYellow;
    }
    return kRed;
}

} // namespace zorvan::graphs
