#pragma once

// Graph data files: one CR LF line per point, Windows-1251 text, numbers with the process
// decimal separator. A line is the point's time (its label without the leading blank and the
// unit), then a TAB and a value right-aligned in 12 characters for each column.

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace zorvan::graphs {

struct GraphFileColumn {
    std::function<double(qsizetype point)> value;
    int decimals = 0;
};

// One line: `label` as in buildGraphFile, its time padded to `timeWidth`, and the values each
// with its decimals and `separator`. A recording appended line by line with the width of its
// first label reads the same as the file saved whole.
struct GraphFileValue {
    double value = 0.0;
    int decimals = 0;
};
void appendGraphFileLine(QByteArray& text, QStringView label, int unitLength, qsizetype timeWidth,
                         std::span<const GraphFileValue> values, char separator);

// The whole file for `points` points. `label` gives a point's label and `unitLength` the length
// of the unit at its end ("c " 2, "мин." 4); the time texts are padded to the width of the first.
// A long file is made on two threads: `label` and the columns' values may be called from both.
QByteArray buildGraphFile(qsizetype points, const std::function<QString(qsizetype)>& label,
                          int unitLength, const std::vector<GraphFileColumn>& columns);

// One line as read back: the time text and the fields after it, each converted when it is a
// number in either separator; a missing or unconvertible field is empty.
struct GraphFileLine {
    QString time;
    std::optional<double> timeValue; // the time field as a number, when it is one
    std::vector<std::optional<double>> values;
};

// Reads `device` to its end, one call per line with `valueColumns` fields after the time. The
// text is never held whole: a line longer than kMaxLineBytes keeps only its beginning, so binary
// junk or a file of megabyte lines costs no more memory than the points it yields.
constexpr qsizetype kMaxLineBytes = 4096;
void readGraphFile(QIODevice& device, int valueColumns,
                   const std::function<void(const GraphFileLine&)>& onLine);

} // namespace zorvan::graphs
