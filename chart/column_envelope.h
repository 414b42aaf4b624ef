#pragma once

#include "chart/line_series.h"

#include <algorithm>
#include <vector>

namespace zorvan::chart {

// Which pixel column of the plot an x falls into: [from, to] is split into `columns` equal
// columns, the right edge belonging to the last one. Monotonic in x, so a binary search over a
// series finds exactly the points of a column.
class ColumnMapping {
public:
    ColumnMapping(double from, double to, int columns);
    int columns() const { return columns_; }
    // -1 left of the range (and for NaN), columns() right of it.
    int columnOf(double x) const {
        if (!(x >= from_)) {
            return -1;
        }
        if (x > to_) {
            return columns_;
        }
        return std::min(int((x - from_) * scale_), columns_ - 1);
    }
    bool operator==(const ColumnMapping&) const = default;

private:
    double from_;
    double to_;
    double scale_;
    int columns_;
};

struct IndexRange {
    qsizetype first = 0;
    qsizetype end = 0; // one past the last
};

// The points of the series that fall into the columns.
IndexRange pointsInColumns(const LineSeries& series, const ColumnMapping& mapping);

// One pixel column that holds points: its first and last point with their Y (what links it to
// its neighbours) and the true extremes of all of them.
struct ColumnExtremes {
    int column;
    qsizetype first;
    qsizetype last;
    ValueRange y;
    double firstY;
    double lastY;
};

// The columns holding points, left to right. Costs O(columns log n) whatever the point count.
std::vector<ColumnExtremes> columnEnvelope(const LineSeries& series, const ColumnMapping& mapping);

} // namespace zorvan::chart
