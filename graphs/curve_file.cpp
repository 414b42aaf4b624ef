#include "graphs/curve_file.h"

#include "settings/number_format.h"
#include "settings/windows1251.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>

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

std::optional<CurvePoint> readPoint(std::string_view line) {
    const char* end = line.data() + line.size();
    const char* at = skipBlanks(line.data(), end);
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

// Calls take(line) for each line; lines end in CR LF, LF or a lone CR, and a break after the last
// line starts no further line. The bytes are read as they are: the code page keeps ASCII, and
// every character of a point is ASCII.
template <typename Take> void readLines(QByteArrayView bytes, Take&& take) {
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') {
            ++end;
        }
        take(bytes.sliced(start, end - start));
        start = end + (bytes.sliced(end).startsWith("\r\n") ? 2 : 1);
    }
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
    static const QByteArray header = settings::encodeWindows1251(kCurveFileHeader);
    bool first = true;
    bool headed = false;
    std::vector<CurvePoint> points;
    std::string line; // one buffer for every line, its commas made points
    readLines(bytes, [&](QByteArrayView bytesOfLine) {
        if (std::exchange(first, false)) {
            headed = bytesOfLine == header;
        } else if (headed) {
            line.assign(bytesOfLine.data(), std::size_t(bytesOfLine.size()));
            std::replace(line.begin(), line.end(), ',', '.');
            if (const auto point = readPoint(line)) {
                points.push_back(*point);
            }
        }
    });
    if (!headed) {
        return std::nullopt;
    }
    return points;
}

} // namespace zorvan::graphs
