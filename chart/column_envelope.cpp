#include "chart/column_envelope.h"

#include <algorithm>

namespace zorvan::chart {
namespace {

// The first index in [low, high) whose point lies right of `column`, or high.
qsizetype firstRightOf(const LineSeries& series, const ColumnMapping& mapping, int column,
                       qsizetype low, qsizetype high) {
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (mapping.columnOf(series.x(middle)) <= column) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

// Like firstRightOf for the column holding point `low`, starting from a guess of its point count:
// neighbouring columns of evenly spaced points hold about as many points, so the guess is
// usually right within a probe or two. From there it gallops outwards, so a bad guess costs
// O(log) of the miss rather than of the series. Each probe into millions of points is a likely
// cache miss, which is what this saves.
qsizetype endOfColumn(const LineSeries& series, const ColumnMapping& mapping, int column,
                      qsizetype low, qsizetype high, qsizetype guess) {
    qsizetype probe = std::clamp(low + guess, low + 1, high);
    qsizetype step = 1;
    if (probe < high && mapping.columnOf(series.x(probe)) <= column) {
        while (probe + step < high && mapping.columnOf(series.x(probe + step)) <= column) {
            probe += step;
            step *= 2;
        }
        return firstRightOf(series, mapping, column, probe + 1, std::min(probe + step, high));
    }
    while (probe - step > low && mapping.columnOf(series.x(probe - step)) > column) {
        probe -= step;
        step *= 2;
    }
    return firstRightOf(series, mapping, column, std::max(low, probe - step) + 1, probe);
}

} // namespace

ColumnMapping::ColumnMapping(double from, double to, int columns)
    : from_(from), to_(to), scale_(to > from ? columns / (to - from) : 0.0),
      columns_(std::max(columns, 1)) {
}

IndexRange pointsInColumns(const LineSeries& series, const ColumnMapping& mapping) {
    const qsizetype first = firstRightOf(series, mapping, -1, 0, series.count());
    const qsizetype end =
        firstRightOf(series, mapping, mapping.columns() - 1, first, series.count());
    return {first, end};
}

std::vector<ColumnExtremes> columnEnvelope(const LineSeries& series, const ColumnMapping& mapping) {
    std::vector<ColumnExtremes> envelope;
    const IndexRange points = pointsInColumns(series, mapping);
    envelope.reserve(std::size_t(mapping.columns()));
    qsizetype guess = (points.end - points.first) / mapping.columns();
    for (qsizetype first = points.first; first < points.end;) {
        const int column = mapping.columnOf(series.x(first));
        const qsizetype end = endOfColumn(series, mapping, column, first, points.end, guess);
        envelope.push_back({column, first, end - 1, series.yRange(first, end), series.y(first),
                            series.y(end - 1)});
        guess = end - first;
        first = end;
    }
    return envelope;
}

} // namespace zorvan::chart
