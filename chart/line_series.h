#pragma once

#include "chart/colour_runs.h"
#include "chart/extremes_pyramid.h"
#include "chart/own_labels.h"
#include "chart/series_storage.h"
#include "chart/sliding_extremes.h"
#include "chart/value_range.h"

#include <QColor>
#include <QString>
#include <functional>
#include <string_view>

namespace zorvan::chart {

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot };

// A line through points kept in X order. Made by a Chart, which it tells of every change; also
// usable alone, which the tests do.
//
// A point costs 24 bytes of X, Y and time plus well under one byte of extremes and colour runs,
// whatever the count. The extremes of any index range cost O(log n), so drawing depends on the
// pixel width and not on the point count.
class LineSeries {
public:
    LineSeries() = default;
    LineSeries(const LineSeries&) = delete;
    LineSeries& operator=(const LineSeries&) = delete;

    // x ascending is the normal case (x >= the last x). `time` is when the point was taken, in
    // seconds from any origin; labels are formatted from it. `colour` is the colour of the segment
    // ending at this point; an invalid one means the series colour.
    void append(double x, double y, double time = 0.0, QColor colour = {});
    // Also gives the point its own label (UTF-8), shown and saved in place of the formatted one.
    void appendLabelled(double x, double y, double time, std::string_view label,
                        QColor colour = {});
    // Keeps X ascending, after the points of equal x. O(1) at the end, else O(n).
    void insertInXOrder(double x, double y, double time = 0.0, QColor colour = {});
    void removeFirst();
    void clear();

    qsizetype count() const { return points_.count(); }
    double x(qsizetype i) const { return points_.x(i); }
    double y(qsizetype i) const { return points_.y(i); }
    double time(qsizetype i) const { return points_.time(i); }
    // For walks that jump across many points: each read is then likely a miss of the cache,
    // which asking ahead lets the memory serve several at a time.
    void prefetch(qsizetype i) const { points_.prefetch(i); }
    // The point's own colour, or the series colour.
    QColor colour(qsizetype i) const;

    // Over the points held now; 0 when empty. O(1).
    double minY() const { return extremes_.minimum(); }
    double maxY() const { return extremes_.maximum(); }
    // Lowest and highest Y of points [from, to) in O(log n); empty when from >= to.
    ValueRange yRange(qsizetype from, qsizetype to) const;

    // A point's label is its own one, else formatted from its time when asked.
    void setLabelFormat(std::function<QString(double time)> format);
    bool hasLabels() const { return labelFormat_ || ownLabels_.size() > 0; }
    // Empty when the point has no own label and no format is set.
    QString label(qsizetype i) const;
    // Copied by whoever formats labels away from the user-interface thread.
    const OwnLabels& ownLabels() const { return ownLabels_; }

    void setTitle(const QString& title);
    QString title() const { return title_; }
    void setShowInLegend(bool show);
    bool showInLegend() const { return showInLegend_; }
    void setColour(const QColor& colour);
    QColor seriesColour() const { return colour_; }
    void setPenWidth(int width);
    int penWidth() const { return penWidth_; }
    void setPenStyle(PenStyle style);
    PenStyle penStyle() const { return penStyle_; }
    void setVisible(bool visible);
    bool isVisible() const { return visible_; }

    // Points removed from the front since the last clear: point i is the (removed() + i)th point.
    qint64 removed() const { return removed_; }
    // Counts the changes other than appending and removing at the front (inserting, clearing),
    // which renumber or replace held points.
    quint64 rewrites() const { return rewrites_; }

    // Memory held for the points, their extremes and colours; for figures and tests.
    qsizetype bytesHeld() const;

private:
    friend class Chart;

    qint64 absoluteIndex(qsizetype i) const { return removed_ + i; }
    void rebuildExtremes();
    void notifyChanged() const;

    SeriesStorage points_;
    ColourRuns colours_;
    OwnLabels ownLabels_;
    SlidingExtremes extremes_;
    ExtremesPyramid pyramid_;
    qint64 removed_ = 0; // points removed from the front since the last clear
    quint64 rewrites_ = 0;

    std::function<QString(double)> labelFormat_;
    QString title_;
    QColor colour_ = Qt::blue;
    int penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
    bool visible_ = true;
    bool showInLegend_ = true;
    std::function<void()> changed_;
};

} // namespace zorvan::chart
