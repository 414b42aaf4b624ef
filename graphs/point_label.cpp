#include "graphs/point_label.h"

#include "graphs/fixed_point.h"
#include "settings/number_format.h"
#include "settings/windows1251.h"

#include <algorithm>
#include <cmath>

namespace zorvan::graphs {

namespace {

const QString kSecondsUnit = QStringLiteral("c ");
const QString kMinutesUnit = QStringLiteral("мин.");
const std::string kSecondsUnitUtf8 = kSecondsUnit.toStdString();
const std::string kMinutesUnitUtf8 = kMinutesUnit.toStdString();

// " " + the value in fixed point with the process decimal separator + `unit`, made in one
// allocation: the chart formats one for each tick of its time axis at every repaint.
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

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Drops the first UTF-8 character of `text`.
void dropFirstCharacter(std::string_view& text) {
    std::size_t at = text.empty() ? 0 : 1;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) {
        ++at;
    }
    text.remove_prefix(at);
}

// Drops the last `count` UTF-8 characters of `text`; false, leaving it, when it has fewer.
bool dropLastCharacters(std::string_view& text, qsizetype count) {
    std::size_t end = text.size();
    for (; count > 0 && end > 0; --count) {
        do {
            --end;
        } while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80);
    }
    if (count > 0) {
        return false;
    }
    text = text.substr(0, end);
    return true;
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

void labelOfTimeField(std::string_view timeField, bool inMinutes, std::string& utf8) {
    utf8.assign(1, ' ');
    if (isAscii(timeField)) {
        utf8 += timeField;
    } else {
        const QByteArray bytes = settings::decodeWindows1251(
                                     QByteArrayView(timeField.data(), qsizetype(timeField.size())))
                                     .toUtf8();
        utf8.append(bytes.constData(), std::size_t(bytes.size()));
    }
    utf8 += inMinutes ? kMinutesUnitUtf8 : kSecondsUnitUtf8;
}

std::string_view savedTimeField(std::string_view ownLabel, double elapsedSeconds, bool inMinutes,
                                int secondsDecimals, std::string& scratch) {
    if (ownLabel.empty()) {
        if (std::isnan(elapsedSeconds)) {
            return {};
        }
        scratch.resize(std::size_t(kMaxFixedLength));
        const double value = inMinutes ? elapsedSeconds / 60.0 : elapsedSeconds;
        const int length = writeFixed(scratch.data(), value, inMinutes ? 2 : secondsDecimals,
                                      settings::decimalSeparator().toLatin1());
        return std::string_view(scratch.data(), std::size_t(length));
    }
    // The blank before and the unit after; a label too short for its unit keeps all after the
    // blank.
    std::string_view time = ownLabel;
    dropFirstCharacter(time);
    std::string_view withoutUnit = time;
    if (dropLastCharacters(withoutUnit, (inMinutes ? kMinutesUnit : kSecondsUnit).size())) {
        time = withoutUnit;
    }
    if (isAscii(time)) {
        return time;
    }
    const QByteArray bytes =
        settings::encodeWindows1251(QString::fromUtf8(time.data(), qsizetype(time.size())));
    scratch.assign(bytes.constData(), std::size_t(bytes.size()));
    return scratch;
}

QString pointLabel(double elapsedSeconds, bool inMinutes, int secondsDecimals) {
    if (std::isnan(elapsedSeconds)) {
        return QLatin1Char(' ') + (inMinutes ? kMinutesUnit : kSecondsUnit);
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
