#include "graphs/point_label.h"

#include "settings/number_format.h"

#include <cmath>

namespace zorvan::graphs {

namespace {

// Fixed-point text with the process decimal separator.
QString fixed(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    text.replace(QLatin1Char('.'), settings::decimalSeparator());
    return text;
}

} // namespace

QString secondsLabel(double elapsedSeconds, int decimals) {
    return QLatin1Char(' ') + fixed(elapsedSeconds, decimals) + QStringLiteral("c ");
}

QString minutesLabel(double elapsedSeconds) {
    return QLatin1Char(' ') + fixed(elapsedSeconds / 60.0, 2) + QStringLiteral("мин.");
}

QString pointLabel(double elapsedSeconds, bool inMinutes, int secondsDecimals) {
    if (std::isnan(elapsedSeconds)) {
        return inMinutes ? QStringLiteral(" мин.") : QStringLiteral(" c ");
    }
    return inMinutes ? minutesLabel(elapsedSeconds) : secondsLabel(elapsedSeconds, secondsDecimals);
}

QString readRateText(qsizetype points, double spanSeconds) {
    const double rate = spanSeconds > 0.0 ? static_cast<double>(points - 1) / spanSeconds : 0.0;
    return fixed(rate, 2) + QStringLiteral(" изм./сек.");
}

QString instrumentTitle(std::uint8_t versionByte1) {
    if (versionByte1 == 0) {
        return QStringLiteral("Zorvan 4X, 8X");
    }
    return QStringLiteral("Zorvan %1%2").arg(versionByte1 / 10).arg(versionByte1 % 10);
}

} // namespace zorvan::graphs
