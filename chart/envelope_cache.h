#pragma once

#include "chart/column_envelope.h"

#include <vector>

namespace zorvan::chart {

// The column envelope of one series, kept from one repaint to the next. A live reading, or a view
// that widens by a reading, moves each column's edges by a point or two: the columns are then
// brought up to date at their edges instead of being searched and walked again, which is what
// costs at millions of points, each probe into them a likely cache miss. What it gives always
// equals columnEnvelope() of the series and mapping asked for.
class EnvelopeCache {
public:
    const std::vector<ColumnExtremes>& envelope(const LineSeries& series,
                                                const ColumnMapping& mapping);
    // pointsInColumns(), searched again only once the series or the mapping changed: at
    // millions of points each probe of the search is a likely cache miss.
    IndexRange points(const LineSeries& series, const ColumnMapping& mapping);

private:
    bool update(const LineSeries& series, const ColumnMapping& mapping);
    bool moveEdges(const LineSeries& series, const ColumnMapping& mapping);
    void updateColumn(const LineSeries& series, int column);
    void rebuild(const LineSeries& series, const ColumnMapping& mapping);

    struct PointsKey {
        ColumnMapping mapping;
        quint64 rewrites;
        qint64 removed;
        qsizetype count;
        bool operator==(const PointsKey&) const = default;
    };

    PointsKey pointsKey_{{0.0, 0.0, 1}, 0, 0, -1};
    IndexRange points_;
    ColumnMapping mapping_{0.0, 0.0, 1};
    quint64 rewrites_ = 0;
    qint64 removed_ = 0;
    qsizetype count_ = -1; // below 0 while nothing is kept
    std::vector<ColumnExtremes> envelope_;
    // Kept only while every column holds points: edges_[c] is the absolute index of the first
    // point of column c, the last entry one past the last column's points.
    std::vector<qint64> edges_;
    std::vector<qint64> nextEdges_;
};

} // namespace zorvan::chart
