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
#include <string>
#include <string_view>
#include <vector>

namespace zorvan::graphs {

struct GraphFileColumn {
    std::function<double(qsizetype point)> value;
    int decimals = 0;
};

// A point's time field as a file holds it: its label without the blank before and the unit
// after, in the code page. What it returns stays valid until the next call on the same thread:
// `scratch` is there to hold bytes that had to be made.
using TimeFieldOf = std::function<std::string_view(qsizetype point, std::string& scratch)>;

// One line: `timeField` right-aligned in `timeWidth`, then the values each with its decimals and
// `separator`. A recording appended line by line with the width of its first point reads the
// same as the file saved whole.
struct GraphFileValue {
    double value = 0.0;
    int decimals = 0;
};
void appendGraphFileLine(QByteArray& text, std::string_view timeField, qsizetype timeWidth,
                         std::span<const GraphFileValue> values, char separator);

// The whole file for `points` points. `unitLength` is the length of the unit at the end of a
// label ("c " 2, "мин." 4): the time fields are padded to the width of the first point's label
// without its blank. A long file is made on two threads: `timeField` and the columns' values may
// be called from both.
QByteArray buildGraphFile(qsizetype points, const TimeFieldOf& timeField, int unitLength,
                          const std::vector<GraphFileColumn>& columns);

// One line as read back: the time text and the fields after it, each converted when it is a
// number in either separator; a missing or unconvertible field is empty.
struct GraphFileLine {
    std::string_view time;           // in the code page, with the process decimal separator
    std::optional<double> timeValue; // the time field as a number, when it is one
    std::vector<std::optional<double>> values;
};

// Reads `device` to its end, one call per line with `valueColumns` fields after the time; the
// line's time bytes are valid only during the call. The text is never held whole: a line longer
// than kMaxLineBytes keeps only its beginning, so binary junk or a file of megabyte lines costs
// no more memory than the points it yields.
constexpr qsizetype kMaxLineBytes = 4096;
void readGraphFile(QIODevice& device, int valueColumns,
                   const std::function<void(const GraphFileLine&)>& onLine);

} // namespace zorvan::graphs
