#include "chart/line_series.h"

#include <algorithm>

namespace zorvan::chart {
namespace {

// Four independent running pairs: the comparisons of one value no longer wait on the previous
// value's, which is most of the cost of scanning the partial leaves at each column's ends.
ValueRange extremesOf(const double* values, qsizetype n) {
    ValueRange lanes[4];
    qsizetype i = 0;
    for (; i + 4 <= n; i += 4) {
        for (int lane = 0; lane < 4; ++lane) {
            lanes[lane].include(values[i + lane]);
        }
    }
    for (; i < n; ++i) {
        lanes[0].include(values[i]);
    }
    for (int lane = 1; lane < 4; ++lane) {
        lanes[0].include(lanes[lane]);
    }
    return lanes[0];
}

} // namespace

void LineSeries::append(double x, double y, double time, QColor colour) {
    colours_.append(absoluteIndex(count()), colour);
    points_.append(x, y, time);
    extremes_.push(y);
    pyramid_.append(y);
    notifyChanged();
}

void LineSeries::appendLabelled(double x, double y, double time, std::string_view label,
                                QColor colour) {
    ownLabels_.set(count(), label);
    append(x, y, time, colour);
}

void LineSeries::insertInXOrder(double x, double y, double time, QColor colour) {
    // The first point with a larger x: binary search over the held points.
    qsizetype low = 0;
    qsizetype high = count();
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (points_.x(middle) <= x) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low == count()) {
        append(x, y, time, colour);
        return;
    }
    colours_.insert(absoluteIndex(low), colour);
    ownLabels_.insertNone(low);
    points_.insert(low, x, y, time);
    ++rewrites_;
    rebuildExtremes();
    notifyChanged();
}

void LineSeries::removeFirst() {
    if (count() == 0) {
        return;
    }
    if (!extremes_.window()) {
        // The first removal turns the running extremes into a sliding window.
        extremes_.restart(true);
        for (qsizetype i = 0; i < count(); ++i) {
            extremes_.push(y(i));
        }
    }
    points_.removeFirst();
    ownLabels_.removeFirst();
    extremes_.popFront();
    ++removed_;
    colours_.dropBefore(removed_);
    pyramid_.dropBefore(removed_);
    notifyChanged();
}

void LineSeries::clear() {
    points_.clear();
    colours_.clear();
    ownLabels_.clear();
    extremes_.restart(false);
    pyramid_.restart(0);
    removed_ = 0;
    ++rewrites_;
    notifyChanged();
}

QColor LineSeries::colour(qsizetype i) const {
    const QColor own = colours_.at(absoluteIndex(i));
    return own.isValid() ? own : colour_;
}

ValueRange LineSeries::yRange(qsizetype from, qsizetype to) const {
    ValueRange range;
    const auto scan = [&range](const double* values, qsizetype n) {
        range.include(extremesOf(values, n));
    };
    // Whole leaves from the pyramid, the partial ones at either end point by point.
    const qint64 firstLeaf =
        (absoluteIndex(from) + ExtremesPyramid::kLeafSize - 1) >> ExtremesPyramid::kLeafShift;
    const qint64 endLeaf = absoluteIndex(to) >> ExtremesPyramid::kLeafShift;
    if (firstLeaf >= endLeaf) {
        points_.visitY(from, to, scan);
        return range;
    }
    const qsizetype wholeFrom = qsizetype((firstLeaf << ExtremesPyramid::kLeafShift) - removed_);
    const qsizetype wholeTo = qsizetype((endLeaf << ExtremesPyramid::kLeafShift) - removed_);
    points_.visitY(from, wholeFrom, scan);
    points_.visitY(wholeTo, to, scan);
    range.include(pyramid_.overLeaves(firstLeaf, endLeaf));
    return range;
}

void LineSeries::setLabelFormat(std::function<QString(double)> format) {
    labelFormat_ = std::move(format);
    notifyChanged();
}

QString LineSeries::label(qsizetype i) const {
    if (QString own = ownLabels_.at(i); !own.isEmpty()) {
        return own;
    }
    return labelFormat_ ? labelFormat_(time(i)) : QString();
}

void LineSeries::setTitle(const QString& title) {
    title_ = title;
    notifyChanged();
}

void LineSeries::setShowInLegend(bool show) {
    showInLegend_ = show;
    notifyChanged();
}

void LineSeries::setColour(const QColor& colour) {
    colour_ = colour;
    notifyChanged();
}

void LineSeries::setPenWidth(int width) {
    penWidth_ = std::max(1, width);
    notifyChanged();
}

void LineSeries::setPenStyle(PenStyle style) {
    penStyle_ = style;
    notifyChanged();
}

void LineSeries::setVisible(bool visible) {
    visible_ = visible;
    notifyChanged();
}

qsizetype LineSeries::bytesHeld() const {
    return qsizetype(sizeof(LineSeries)) + points_.bytesHeld() + colours_.bytesHeld() +
           ownLabels_.bytesHeld() + extremes_.bytesHeld() + pyramid_.bytesHeld();
}

void LineSeries::rebuildExtremes() {
    extremes_.restart(extremes_.window());
    pyramid_.restart(removed_);
    for (qsizetype i = 0; i < count(); ++i) {
        extremes_.push(y(i));
        pyramid_.append(y(i));
    }
}

void LineSeries::notifyChanged() const {
    if (changed_) {
        changed_();
    }
}

} // namespace zorvan::chart
