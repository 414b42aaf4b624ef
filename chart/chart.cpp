#include "chart/chart.h"

#include "chart/legend.h"
#include "chart/plot_view.h"
#include "chart/series_painter.h"
#include "chart/ticks.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace zorvan::chart {
namespace {

constexpr int kMargin = 8;
constexpr int kTickGap = 5;
constexpr int kRightPadding = 16;
constexpr int kPixelsPerLeftTick = 40;
constexpr int kBottomTickSpacing = 24; // free pixels wanted between bottom tick texts
constexpr int kMinimumDrag = 3;        // pixels each way before a left drag zooms or unzooms
constexpr int kClickSlop = 2;          // pixels a right click may move and still be a click
constexpr int kThrottleMs = 16;        // one screen refresh

const QColor kSeriesColours[] = {QColor(31, 119, 180),  QColor(214, 39, 40),   QColor(44, 160, 44),
                                 QColor(255, 127, 14),  QColor(148, 103, 189), QColor(140, 86, 75),
                                 QColor(227, 119, 194), QColor(23, 190, 207)};

QColor textColourOn(const QColor& background) {
    return background.lightness() < 128 ? Qt::white : Qt::black;
}

// Mixed in advance rather than drawn translucent: the raster engine blends translucent lines a
// span at a time, which costs milliseconds for a grid, while opaque lines are plain fills.
QColor mixed(const QColor& ink, const QColor& background, double inkShare) {
    const auto mix = [inkShare](int a, int b) { return int(a * inkShare + b * (1.0 - inkShare)); };
    return QColor(mix(ink.red(), background.red()), mix(ink.green(), background.green()),
                  mix(ink.blue(), background.blue()));
}

ValueRange openedIfFlat(ValueRange range) {
    if (!(range.maximum > range.minimum)) {
        return {range.minimum - 1.0, range.minimum + 1.0};
    }
    return range;
}

qsizetype nearestIndex(const LineSeries& series, double x) {
    qsizetype low = 0;
    qsizetype high = series.count();
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (series.x(middle) < x) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low == series.count() || (low > 0 && x - series.x(low - 1) < series.x(low) - x)) {
        return low - 1;
    }
    return low;
}

// A labelled series' ticks stand on its points, so that a label names the time where it stands:
// each tick moves onto the point nearest to it, a point takes one tick at most, and none stands
// where the view holds no point (right of the newest one, say).
void standOnPoints(const LineSeries& series, ValueRange x, std::vector<double>& values) {
    std::vector<double> onPoints;
    qsizetype previous = -1;
    for (const double value : values) {
        const qsizetype point = nearestIndex(series, value);
        const double at = series.x(point);
        if (point != previous && at >= x.minimum && at <= x.maximum) {
            onPoints.push_back(at);
            previous = point;
        }
    }
    values = std::move(onPoints);
}

// Ticks moved onto unevenly spaced points may come closer than their texts allow, and points
// taken within one step of the labels' resolution share a text: a tick too close to the one kept
// before it, or reading the same, is left out.
void dropCrowdedAndRepeated(const PlotView& view, int gapPixels, std::vector<double>& values,
                            QStringList& texts) {
    std::vector<double> keptValues;
    QStringList keptTexts;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (keptValues.empty() ||
            (view.pixelX(values[i]) - view.pixelX(keptValues.back()) >= gapPixels &&
             texts[qsizetype(i)] != keptTexts.back())) {
            keptValues.push_back(values[i]);
            keptTexts.push_back(texts[qsizetype(i)]);
        }
    }
    values = std::move(keptValues);
    texts = std::move(keptTexts);
}

QFont titleFont(QFont font) {
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    return font;
}

} // namespace

struct Chart::Layout {
    QRect title;
    QRect plot;
    Ticks leftTicks;
    QStringList leftTexts;
    Ticks bottomTicks;
    QStringList bottomTexts;
    std::optional<Legend> legend;
    QPoint legendTopLeft;
};

Chart::Chart(QWidget* parent)
    : QWidget(parent), left_([this] { return dataYRange(); }, [this] { markDirty(); }),
      bottom_([this] { return dataXRange(); }, [this] { markDirty(); }) {
    bar_.changed_ = [this] { markDirty(); };
    setAttribute(Qt::WA_OpaquePaintEvent, background_.alpha() == 255);
    throttle_.setSingleShot(true);
    throttle_.setInterval(kThrottleMs);
    throttle_.setTimerType(Qt::PreciseTimer);
    connect(&throttle_, &QTimer::timeout, this, &Chart::requestRepaint);
}

LineSeries& Chart::addLineSeries() {
    auto& series = *series_.emplace_back(std::make_unique<LineSeries>());
    envelopes_.emplace_back();
    series.colour_ = kSeriesColours[(series_.size() - 1) % std::size(kSeriesColours)];
    series.changed_ = [this] { markDirty(); };
    markDirty();
    return series;
}

void Chart::setTitle(const QString& title) {
    title_ = title;
    markDirty();
}

void Chart::setLegendVisible(bool visible) {
    legendVisible_ = visible;
    markDirty();
}

void Chart::setBackgroundColour(const QColor& colour) {
    background_ = colour;
    // An opaque background covers the whole widget, so nothing need be painted under it first.
    setAttribute(Qt::WA_OpaquePaintEvent, colour.alpha() == 255);
    markDirty();
}

void Chart::setPopupMenu(QMenu* menu) {
    popupMenu_ = menu;
}

void Chart::resetZoom() {
    zoom_.reset();
    markDirty();
}

ValueRange Chart::visibleXRange() const {
    return openedIfFlat(zoom_ ? zoom_->x : bottom_.rangeInUse());
}

ValueRange Chart::visibleYRange() const {
    return openedIfFlat(zoom_ ? zoom_->y : left_.rangeInUse());
}

QRect Chart::plotArea() const {
    return computeLayout().plot;
}

ValueRange Chart::dataXRange() const {
    ValueRange range;
    for (const auto& series : series_) {
        if (series->isVisible() && series->count() > 0) {
            range.include(series->x(0));
            range.include(series->x(series->count() - 1));
        }
    }
    return range;
}

ValueRange Chart::dataYRange() const {
    ValueRange range;
    for (const auto& series : series_) {
        if (series->isVisible() && series->count() > 0) {
            range.include(series->minY());
            range.include(series->maxY());
        }
    }
    if (bar_.hasBar()) {
        range.include(0.0);
        range.include(bar_.value());
    }
    return range;
}

Chart::Layout Chart::computeLayout() const {
    const QFontMetrics metrics(font());
    Layout layout;
    int top = kMargin;
    if (!title_.isEmpty()) {
        const int height = QFontMetrics(titleFont(font())).height();
        layout.title = QRect(kMargin, top, width() - 2 * kMargin, height);
        top += height + kTickGap;
    }
    int bottom = height() - kMargin;
    if (legendVisible_) {
        std::vector<LegendEntry> entries;
        for (const auto& series : series_) {
            if (series->isVisible() && series->showInLegend()) {
                entries.push_back({series->title(), penOf(*series, series->seriesColour())});
            }
        }
        layout.legend.emplace(metrics, std::move(entries), width() - 2 * kMargin);
        if (layout.legend->height() > 0) {
            bottom -= layout.legend->height();
            layout.legendTopLeft = QPoint(kMargin, bottom);
            bottom -= kTickGap;
        }
    }
    bottom -= metrics.height() + kTickGap;

    const ValueRange y = visibleYRange();
    layout.leftTicks = niceTicks(y.minimum, y.maximum, (bottom - top) / kPixelsPerLeftTick);
    int leftWidth = 0;
    for (double value : layout.leftTicks.values) {
        layout.leftTexts.push_back(tickText(value, layout.leftTicks.step));
        leftWidth = std::max(leftWidth, metrics.horizontalAdvance(layout.leftTexts.back()));
    }
    const int left = kMargin + leftWidth + kTickGap;
    const int plotWidth = std::max(1, width() - kRightPadding - left);
    layout.plot = QRect(left, top, plotWidth, std::max(1, bottom - top));

    // Fewer ticks until their texts fit side by side; labels can be far wider than numbers.
    const ValueRange x = visibleXRange();
    const LineSeries* labelled = labelledSeries();
    int widest = 0;
    for (int wanted = std::max(1, plotWidth / 80);; wanted = wanted * 2 / 3) {
        layout.bottomTicks = niceTicks(x.minimum, x.maximum, wanted);
        if (labelled) {
            standOnPoints(*labelled, x, layout.bottomTicks.values);
        }
        layout.bottomTexts.clear();
        widest = 0;
        for (const double value : layout.bottomTicks.values) {
            layout.bottomTexts.push_back(labelled ? labelled->label(nearestIndex(*labelled, value))
                                                  : tickText(value, layout.bottomTicks.step));
            widest = std::max(widest, metrics.horizontalAdvance(layout.bottomTexts.back()));
        }
        const int count = int(layout.bottomTicks.values.size());
        if (wanted <= 1 || count * (widest + kBottomTickSpacing) <= plotWidth) {
            break;
        }
    }
    if (labelled) {
        const PlotView view{layout.plot, x, y};
        dropCrowdedAndRepeated(view, widest + kBottomTickSpacing, layout.bottomTicks.values,
                               layout.bottomTexts);
    }
    return layout;
}

const LineSeries* Chart::labelledSeries() const {
    const auto labelled = std::find_if(series_.begin(), series_.end(), [](const auto& series) {
        return series->isVisible() && series->hasLabels() && series->count() > 0;
    });
    return labelled != series_.end() ? labelled->get() : nullptr;
}

std::vector<Chart::BottomTick> Chart::bottomTicks() const {
    const Layout layout = computeLayout();
    std::vector<BottomTick> ticks;
    for (std::size_t i = 0; i < layout.bottomTicks.values.size(); ++i) {
        ticks.push_back({layout.bottomTicks.values[i], layout.bottomTexts[qsizetype(i)]});
    }
    return ticks;
}

void Chart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), background_);
    const QColor text = textColourOn(background_);
    const Layout layout = computeLayout();
    const PlotView view{layout.plot, visibleXRange(), visibleYRange()};

    if (!title_.isEmpty()) {
        painter.setFont(titleFont(font()));
        painter.setPen(text);
        painter.drawText(layout.title, Qt::AlignCenter, title_);
        painter.setFont(font());
    }
    paintGrid(painter, layout, view, text);
    painter.setClipRect(layout.plot);
    paintBar(painter, view, text);
    strokeCanvas_.begin(painter, layout.plot);
    for (std::size_t i = 0; i < series_.size(); ++i) {
        if (series_[i]->isVisible()) {
            paintLineSeries(painter, strokeCanvas_, envelopes_[i], *series_[i], view);
        }
    }
    strokeCanvas_.drawAll();
    painter.setClipping(false);
    painter.setPen(text);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(layout.plot.adjusted(0, 0, -1, -1));
    if (layout.legend) {
        layout.legend->paint(painter, layout.legendTopLeft, text);
    }
    paintRubberBand(painter, text);
}

void Chart::paintGrid(QPainter& painter, const Layout& layout, const PlotView& view,
                      const QColor& text) const {
    const QRect& plot = layout.plot;
    const QFontMetrics metrics(font());
    const QColor grid = mixed(text, background_, 0.16);
    for (std::size_t i = 0; i < layout.leftTicks.values.size(); ++i) {
        const int y = int(view.pixelY(layout.leftTicks.values[i]));
        painter.fillRect(QRect(QPoint(plot.left(), y), QPoint(plot.right(), y)), grid);
        painter.setPen(text);
        painter.drawText(QRect(kMargin, y - metrics.height() / 2, plot.left() - kTickGap - kMargin,
                               metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, layout.leftTexts[int(i)]);
    }
    for (std::size_t i = 0; i < layout.bottomTicks.values.size(); ++i) {
        const int x = int(view.pixelX(layout.bottomTicks.values[i]));
        painter.fillRect(QRect(QPoint(x, plot.top()), QPoint(x, plot.bottom())), grid);
        painter.setPen(text);
        const QString& label = layout.bottomTexts[int(i)];
        const int labelWidth = metrics.horizontalAdvance(label) + 2;
        // Centred under its tick, but pulled in where it would run off the widget.
        const int labelLeft = std::clamp(x - labelWidth / 2, 0, std::max(0, width() - labelWidth));
        painter.drawText(QRect(labelLeft, plot.bottom() + kTickGap, labelWidth, metrics.height()),
                         Qt::AlignCenter, label);
    }
}

void Chart::paintBar(QPainter& painter, const PlotView& view, const QColor& text) const {
    if (!bar_.hasBar()) {
        return;
    }
    const int top = int(view.pixelY(bar_.value()));
    const QRect bar(QPoint(view.area.left(), top), view.area.bottomRight());
    painter.fillRect(bar.intersected(view.area), bar_.colour());
    if (!bar_.label().isEmpty()) {
        const int height = QFontMetrics(font()).height();
        // Above the bar, or just inside its top when there is no room above.
        const int labelTop = top - height >= view.area.top() ? top - height : top;
        painter.setPen(text);
        painter.drawText(QRect(view.area.left(), labelTop, view.area.width(), height),
                         Qt::AlignCenter, bar_.label());
    }
}

void Chart::paintRubberBand(QPainter& painter, const QColor& text) const {
    if (!dragging_) {
        return;
    }
    const QRect band = QRect(dragStart_, dragEnd_).normalized();
    if (band.width() <= kMinimumDrag && band.height() <= kMinimumDrag) {
        return;
    }
    QColor fill = text;
    fill.setAlpha(30);
    painter.setPen(QPen(text, 1, Qt::DashLine));
    painter.setBrush(fill);
    painter.drawRect(band);
}

void Chart::mousePressEvent(QMouseEvent* event) {
    Q_EMIT mousePressed(event);
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        dragStart_ = event->position().toPoint();
        dragEnd_ = dragStart_;
    } else if (event->button() == Qt::RightButton) {
        rightPress_ = event->position().toPoint();
        rightMoved_ = false;
    }
}

void Chart::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT mouseMoved(event);
    const QPoint position = event->position().toPoint();
    if (dragging_) {
        dragEnd_ = position;
        update();
    }
    if ((event->buttons() & Qt::RightButton) &&
        (position - rightPress_).manhattanLength() > kClickSlop) {
        rightMoved_ = true;
    }
}

void Chart::mouseReleaseEvent(QMouseEvent* event) {
    Q_EMIT mouseReleased(event);
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        finishDrag(position);
        update();
    } else if (event->button() == Qt::RightButton && !rightMoved_ &&
               (position - rightPress_).manhattanLength() <= kClickSlop) {
        showPopupMenu(event->globalPosition().toPoint());
    }
}

void Chart::mouseDoubleClickEvent(QMouseEvent*) {
    Q_EMIT doubleClicked();
}

void Chart::finishDrag(QPoint end) {
    const QPoint drag = end - dragStart_;
    if (drag.x() < -kMinimumDrag && drag.y() < -kMinimumDrag) {
        resetZoom();
        return;
    }
    if (drag.x() <= kMinimumDrag || drag.y() <= kMinimumDrag) {
        return;
    }
    const QRect plot = plotArea();
    const QRect band = QRect(dragStart_, end).normalized().intersected(plot);
    if (band.isEmpty()) {
        return;
    }
    const PlotView view{plot, visibleXRange(), visibleYRange()};
    zoom_ = Zoom{{view.valueX(band.left()), view.valueX(band.right() + 1)},
                 {view.valueY(band.bottom() + 1), view.valueY(band.top())}};
    markDirty();
}

void Chart::showPopupMenu(QPoint globalPosition) {
    if (!popupMenu_) {
        return;
    }
    const QList<QAction*> actions = popupMenu_->actions();
    if (std::any_of(actions.begin(), actions.end(),
                    [](const QAction* action) { return action->isVisible(); })) {
        popupMenu_->popup(globalPosition);
    }
}

void Chart::markDirty() {
    // Pending means the throttle is running and will ask for the repaint: nothing more to do,
    // which keeps this cheap for a series that appends thousands of points between frames.
    if (repaintPending_) {
        return;
    }
    repaintPending_ = true;
    if (!throttle_.isActive()) {
        requestRepaint();
    }
}

void Chart::requestRepaint() {
    if (!repaintPending_) {
        return;
    }
    repaintPending_ = false;
    update();
    throttle_.start();
}

} // namespace zorvan::chart
