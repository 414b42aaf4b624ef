#pragma once

#include "chart/value_range.h"

#include <QtGlobal>
#include <deque>
#include <vector>

namespace zorvan::chart {

// Lowest and highest Y over blocks of a series, as a pyramid: level 0 holds one range per leaf of
// kLeafSize points, each level above one per two nodes of the level below. Any run of whole leaves
// is then covered by at most two nodes a level, so its extremes cost O(log n).
//
// Points and nodes are named by absolute index (counted since the restart, removed points
// included), so removing points at the front only drops nodes and never renumbers one. A node
// reaches the level above only once complete, which keeps appending O(1) amortised; a query only
// ever reads nodes lying wholly within held points, which are complete and never hold a removed
// point.
class ExtremesPyramid {
public:
    static constexpr int kLeafShift = 6;
    static constexpr qint64 kLeafSize = qint64(1) << kLeafShift;

    // Forgets everything; the next appended point gets absolute index `firstIndex`.
    void restart(qint64 firstIndex);
    void append(double y);
    // Drops the nodes that end before the point at absolute index `firstHeld`.
    void dropBefore(qint64 firstHeld);

    // The extremes of leaves [firstLeaf, endLeaf), all of them complete and held.
    ValueRange overLeaves(qint64 firstLeaf, qint64 endLeaf) const;
    qsizetype bytesHeld() const;

private:
    struct Level {
        qint64 firstNode = 0; // absolute index of nodes.front()
        std::deque<ValueRange> nodes;
    };
    void mergeInto(std::size_t level, qint64 node, const ValueRange& range);

    qint64 next_ = 0; // absolute index of the next point
    std::vector<Level> levels_;
};

} // namespace zorvan::chart
