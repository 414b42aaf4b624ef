#include "graphs/point_label.h"

#include "graphs/fixed_point.h"
#include "settings/number_format.h"

#include <algorithm>
#include <cmath>

namespace zorvan::graphs {

namespace {

const QString kSecondsUnit = QStringLiteral("c ");
const QString kMinutesUnit = QStringLiteral("мин.");

// " " + the value in fixed point with the process decimal separator + `unit`, made in one
// allocation: a save formats a label for each of a hundred thousand points.
QString labelOf(double value, int decimals, const QString& unit) {
    char digits[kMaxFixedLength];
    const int length = writeFixed(digits, value, decimals, settings::decimalSeparator().toLatin1());
    QString text(1 + length + unit.size(), Qt::Uninitialized);
    QChar* out = text.data();
    *out++ = u' ';
    out =
        std::transform(digits, digits + length, out, [](char c) { return QChar(QLatin1Char(c)); });
    std::copy(unit.begin(), unit.end(), out);
    return text;
}

// Fixed-point text with the process decimal separator.
QString fixed(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    text.replace(QLatin1Char('.'), settings::decimalSeparator());
    return text;
}

} // namespace

QString secondsLabel(double elapsedSeconds, int decimals) {
    return labelOf(elapsedSeconds, decimals, kSecondsUnit);
}

QString minutesLabel(double elapsedSeconds) {
    return labelOf(elapsedSeconds / 60.0, 2, kMinutesUnit);
}

QString labelOfTimeField(QStringView timeField, bool inMinutes) {
    const QString& unit = inMinutes ? kMinutesUnit : kSecondsUnit;
    QString label;
    label.reserve(1 + timeField.size() + unit.size());
    label.append(QLatin1Char(' ')).append(timeField).append(unit);
    return label;
}

QString pointLabel(double elapsedSeconds, bool inMinutes, int secondsDecimals) {
    if (std::isnan(elapsedSeconds)) {
        return labelOfTimeField({}, inMinutes);
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
