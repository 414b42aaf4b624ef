#include "graphs/curve_file.h"

#include "settings/number_format.h"
#include "settings/windows1251.h"

#include <QStringList>
#include <charconv>
#include <cmath>

namespace zorvan::graphs {

namespace {

constexpr int kNumberWidth = 7;

QString numberText(double value) {
    QString text = QString::number(value, 'f', 2);
    text.replace(QLatin1Char('.'), settings::decimalSeparator());
    return text.rightJustified(kNumberWidth, QLatin1Char(' '));
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

const char* skipBlanks(const char* at, const char* end) {
    while (at != end && isBlank(*at)) {
        ++at;
    }
    return at;
}

// Reads a number in the C manner ("%lf" with '.') independently of the C locale; nothing for
// no number, or one that is no possible measurement.
std::optional<double> readNumber(const char*& at, const char* end) {
    const char* start = at;
    if (start != end && *start == '+') {
        ++start; // from_chars knows only the minus sign
        if (start != end && *start == '-') {
            return std::nullopt;
        }
    }
    double value = 0.0;
    const auto [next, error] = std::from_chars(start, end, value);
    if (error != std::errc() || !std::isfinite(value) || std::abs(value) > kLargestCurveValue) {
        return std::nullopt;
    }
    at = next;
    return value;
}

std::optional<CurvePoint> readPoint(const QByteArray& line) {
    const char* end = line.constData() + line.size();
    const char* at = skipBlanks(line.constData(), end);
    const auto volts = readNumber(at, end);
    if (!volts || at == end || !isBlank(*at)) {
        return std::nullopt;
    }
    at = skipBlanks(at, end);
    const auto percent = readNumber(at, end);
    if (!percent) {
        return std::nullopt;
    }
    return CurvePoint{*volts, *percent};
}

// Lines end in CR LF, LF or a lone CR; a break after the last line starts no further line.
QStringList splitLines(const QString& text) {
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = unified.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

} // namespace

QByteArray curveFileBytes(const std::vector<CurvePoint>& points) {
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = kCurveFileHeader + lineEnd;
    for (const CurvePoint& point : points) {
        text += numberText(point.volts) + QStringLiteral("\t\t\t") + numberText(point.percent) +
                lineEnd;
    }
    return settings::encodeWindows1251(text);
}

std::optional<std::vector<CurvePoint>> readCurveFile(const QByteArray& bytes) {
    QStringList lines = splitLines(settings::decodeWindows1251(bytes));
    if (lines.isEmpty() || lines.front() != kCurveFileHeader) {
        return std::nullopt;
    }
    std::vector<CurvePoint> points;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QString& line = lines[i];
        line.replace(QLatin1Char(','), QLatin1Char('.'));
        if (const auto point = readPoint(line.toLatin1())) {
            points.push_back(*point);
        }
    }
    return points;
}

} // namespace zorvan::graphs
