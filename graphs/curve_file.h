#pragma once

// The frequency-response curve file: a header line and one line per point, voltage and humidity,
// in the Windows Cyrillic code page with CR LF line ends. Numbers are written with the process
// decimal separator; either separator is read back.

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace zorvan::graphs {

struct CurvePoint {
    double volts = 0.0;
    double percent = 0.0;
};

inline const QString kCurveFileHeader = QStringLiteral("Напряжение, В\t\tВлажность, %");

// The whole file for points in curve order: each value with 2 decimals, right-aligned in at least
// 7 characters, three tabs between voltage and humidity.
QByteArray curveFileBytes(const std::vector<CurvePoint>& points);

// The points of a file in file order; nothing when its first line is not the header. A line that
// does not begin with two numbers separated by blanks or tabs is skipped, as is one whose numbers
// are no possible measurement (see kLargestCurveValue); anything after the two numbers is ignored.
std::optional<std::vector<CurvePoint>> readCurveFile(const QByteArray& bytes);

// Beyond any voltage or humidity: a value this large is junk, and would leave the axis no room for
// ticks between two neighbouring doubles.
inline constexpr double kLargestCurveValue = 1e9;

} // namespace zorvan::graphs
