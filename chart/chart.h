#pragma once

#include "chart/axis.h"
#include "chart/bar_series.h"
#include "chart/column_canvas.h"
#include "chart/envelope_cache.h"
#include "chart/line_series.h"
#include "chart/value_range.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

class QMenu;

namespace zorvan::chart {

struct PlotView;

// A plot of line series and one bar over a left and a bottom axis, drawn with a plain painter.
// Changes to the series or axes are gathered and drawn at most once per screen refresh.
//
// Dragging a rectangle down and to the right with the left button zooms into it; dragging up and
// to the left returns to the full view. A right click (press and release in place) opens the
// popup menu; a double click emits doubleClicked().
class Chart : public QWidget {
    Q_OBJECT

public:
    explicit Chart(QWidget* parent = nullptr);

    // The series lives as long as the chart.
    LineSeries& addLineSeries();
    BarSeries& barSeries() { return bar_; }
    Axis& leftAxis() { return left_; }
    Axis& bottomAxis() { return bottom_; }

    void setTitle(const QString& title);
    void setLegendVisible(bool visible);
    void setBackgroundColour(const QColor& colour);
    // Shown on a right click when it has a visible action; the chart does not own it.
    void setPopupMenu(QMenu* menu);

    bool zoomed() const { return zoom_.has_value(); }
    void resetZoom();

    // The ranges drawn now: the zoomed ones while zoomed, else the axes'; a flat range is opened
    // by 1 either way so that it still has a height.
    ValueRange visibleXRange() const;
    ValueRange visibleYRange() const;
    // Where the data is drawn, in widget pixels.
    QRect plotArea() const;

    struct BottomTick {
        double x;
        QString text;
    };
    // The bottom axis's ticks as they are drawn now.
    std::vector<BottomTick> bottomTicks() const;

    QSize sizeHint() const override { return {480, 320}; }

Q_SIGNALS:
    void doubleClicked();
    // Emitted before the chart's own handling, so the window can adjust its popup menu.
    void mousePressed(QMouseEvent* event);
    void mouseMoved(QMouseEvent* event);
    void mouseReleased(QMouseEvent* event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    struct Zoom {
        ValueRange x;
        ValueRange y;
    };
    struct Layout;

    Layout computeLayout() const;
    // The first visible series with labels and points: its labels name the bottom ticks.
    const LineSeries* labelledSeries() const;
    ValueRange dataXRange() const;
    ValueRange dataYRange() const;
    void finishDrag(QPoint end);
    void showPopupMenu(QPoint globalPosition);
    void paintGrid(QPainter& painter, const Layout& layout, const PlotView& view,
                   const QColor& text) const;
    void paintBar(QPainter& painter, const PlotView& view, const QColor& text) const;
    void paintRubberBand(QPainter& painter, const QColor& text) const;
    // Marks the chart for repainting; update() is asked for at most once per throttle period.
    void markDirty();
    void requestRepaint();

    std::vector<std::unique_ptr<LineSeries>> series_;
    std::vector<EnvelopeCache> envelopes_; // one per series, in the same order
    BarSeries bar_;
    Axis left_;
    Axis bottom_;
    QString title_;
    bool legendVisible_ = false;
    QColor background_ = Qt::white;
    QPointer<QMenu> popupMenu_;
    std::optional<Zoom> zoom_;
    ColumnCanvas strokeCanvas_;

    bool dragging_ = false;
    QPoint dragStart_;
    QPoint dragEnd_;
    QPoint rightPress_;
    bool rightMoved_ = false;

    QTimer throttle_;
    bool repaintPending_ = false; // a change arrived while the throttle was running
};

} // namespace zorvan::chart
