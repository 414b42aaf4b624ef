#include "chart/envelope_cache.h"

#include <algorithm>

namespace zorvan::chart {
namespace {

// Beyond this an edge has moved so far (a zoom, a resize) that a fresh envelope costs no more.
constexpr qint64 kMaxEdgeSteps = 64;
// How many edges ahead their points are asked for: enough to keep several memory reads going
// while the edge at hand is moved.
constexpr std::size_t kPrefetchEdges = 48;

} // namespace

const std::vector<ColumnExtremes>& EnvelopeCache::envelope(const LineSeries& series,
                                                           const ColumnMapping& mapping) {
    if (!update(series, mapping)) {
        rebuild(series, mapping);
    }
    mapping_ = mapping;
    rewrites_ = series.rewrites();
    removed_ = series.removed();
    count_ = series.count();
    return envelope_;
}

IndexRange EnvelopeCache::points(const LineSeries& series, const ColumnMapping& mapping) {
    const PointsKey key{mapping, series.rewrites(), series.removed(), series.count()};
    if (!(key == pointsKey_)) {
        pointsKey_ = key;
        points_ = pointsInColumns(series, mapping);
    }
    return points_;
}

bool EnvelopeCache::update(const LineSeries& series, const ColumnMapping& mapping) {
    if (count_ < 0 || edges_.empty() || series.rewrites() != rewrites_ ||
        mapping.columns() != mapping_.columns()) {
        return false;
    }
    if (mapping == mapping_ && series.removed() == removed_ && series.count() == count_) {
        return true;
    }
    if (!moveEdges(series, mapping)) {
        return false;
    }
    for (int column = 0; column < mapping.columns(); ++column) {
        updateColumn(series, column);
    }
    edges_.swap(nextEdges_);
    return true;
}

// Each edge becomes the first point whose column is at least the edge's, found by stepping from
// where it was; false when an edge moves too far or a column is left without points.
bool EnvelopeCache::moveEdges(const LineSeries& series, const ColumnMapping& mapping) {
    const qint64 heldFirst = series.removed();
    const qint64 heldEnd = heldFirst + series.count();
    const auto columnAt = [&](qint64 point) {
        return mapping.columnOf(series.x(qsizetype(point - heldFirst)));
    };
    nextEdges_.resize(edges_.size());
    for (std::size_t edge = 0; edge < edges_.size(); ++edge) {
        if (edge + kPrefetchEdges < edges_.size() && series.count() > 0) {
            const qint64 ahead = std::clamp(edges_[edge + kPrefetchEdges], heldFirst, heldEnd - 1);
            series.prefetch(qsizetype(ahead - heldFirst));
        }
        const int column = int(edge);
        qint64 point = std::clamp(edges_[edge], heldFirst, heldEnd);
        qint64 steps = 0;
        while (point > heldFirst && columnAt(point - 1) >= column && ++steps <= kMaxEdgeSteps) {
            --point;
        }
        while (point < heldEnd && columnAt(point) < column && ++steps <= kMaxEdgeSteps) {
            ++point;
        }
        if (steps > kMaxEdgeSteps || (edge > 0 && point <= nextEdges_[edge - 1])) {
            return false;
        }
        nextEdges_[edge] = point;
    }
    return true;
}

// The column keeps its extremes unless a point that left it held one of them (or is no longer
// held to tell); the points that joined it are included one by one.
void EnvelopeCache::updateColumn(const LineSeries& series, int column) {
    const qint64 heldFirst = series.removed();
    const auto c = std::size_t(column);
    const qint64 oldFirst = edges_[c];
    const qint64 oldEnd = edges_[c + 1];
    const qint64 first = nextEdges_[c];
    const qint64 end = nextEdges_[c + 1];
    const qint64 keptFirst = std::max(oldFirst, first);
    const qint64 keptEnd = std::min(oldEnd, end);
    ColumnExtremes& extremes = envelope_[c];
    const auto y = [&](qint64 point) { return series.y(qsizetype(point - heldFirst)); };
    const auto leftAnExtreme = [&](qint64 from, qint64 to) {
        if (from < to && from < heldFirst) {
            return true;
        }
        for (qint64 point = from; point < to; ++point) {
            if (y(point) == extremes.y.minimum || y(point) == extremes.y.maximum) {
                return true;
            }
        }
        return false;
    };
    if (first != oldFirst || end != oldEnd || heldFirst != removed_) {
        extremes.first = qsizetype(first - heldFirst);
        extremes.last = qsizetype(end - 1 - heldFirst);
        extremes.firstY = series.y(extremes.first);
        extremes.lastY = series.y(extremes.last);
    }
    if (keptFirst >= keptEnd || leftAnExtreme(oldFirst, keptFirst) ||
        leftAnExtreme(keptEnd, oldEnd)) {
        extremes.y = series.yRange(extremes.first, extremes.last + 1);
        return;
    }
    for (qint64 point = first; point < keptFirst; ++point) {
        extremes.y.include(y(point));
    }
    for (qint64 point = keptEnd; point < end; ++point) {
        extremes.y.include(y(point));
    }
}

void EnvelopeCache::rebuild(const LineSeries& series, const ColumnMapping& mapping) {
    envelope_ = columnEnvelope(series, mapping);
    edges_.clear();
    if (qsizetype(envelope_.size()) != mapping.columns()) {
        return;
    }
    for (const ColumnExtremes& column : envelope_) {
        edges_.push_back(series.removed() + column.first);
    }
    edges_.push_back(series.removed() + envelope_.back().last + 1);
}

} // namespace zorvan::chart
