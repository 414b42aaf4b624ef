#pragma once

#include <QColor>
#include <deque>

namespace zorvan::chart {

// The colours of a series' points as runs: colour changes are rare, so one entry per change costs
// far less than a colour per point. Points are named by their absolute index (counted since the
// last clear, removed points included), so removing from the front never renumbers a run. An
// invalid colour stands for the series colour.
class ColourRuns {
public:
    void append(qint64 index, const QColor& colour);
    // The point at `index` and those after it move up by one; `index` must be a held point.
    void insert(qint64 index, const QColor& colour);
    void dropBefore(qint64 firstIndex);
    void clear() { runs_.clear(); }

    QColor at(qint64 index) const;
    qsizetype bytesHeld() const { return qsizetype(runs_.size() * sizeof(Run)); }

private:
    struct Run {
        qint64 first;
        QColor colour;
    };
    std::deque<Run>::iterator runHolding(qint64 index);

    std::deque<Run> runs_;
};

} // namespace zorvan::chart
