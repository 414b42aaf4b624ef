#include "chart/series_painter.h"

#include "chart/column_envelope.h"

#include <QPainter>
#include <cmath>
#include <vector>

namespace zorvan::chart {
namespace {

Qt::PenStyle qtPenStyle(PenStyle style) {
    switch (style) {
    case PenStyle::Dash:
        return Qt::DashLine;
    case PenStyle::Dot:
        return Qt::DotLine;
    case PenStyle::DashDot:
        return Qt::DashDotLine;
    case PenStyle::DashDotDot:
        return Qt::DashDotDotLine;
    case PenStyle::Solid:
        break;
    }
    return Qt::SolidLine;
}

// The series' line as wide as its strokes: a cosmetic pen's width is in device pixels, which are
// the canvas's wherever the painter only scales and moves.
QPen linePen(const LineSeries& series, const QColor& colour, const ColumnCanvas& canvas) {
    QPen pen = penOf(series, colour);
    pen.setWidth(canvas.pixelWidth(series.penWidth()));
    pen.setCosmetic(true);
    return pen;
}

// Collects line segments, given in the canvas's pixels, and draws them in as few calls as the
// colour changes allow. Segments drawn while the series' strokes are still being added go under
// them, as before any of them; the last ones go over them.
class LineBatch {
public:
    LineBatch(QPainter& painter, ColumnCanvas& canvas, const LineSeries& series)
        : painter_(painter), canvas_(canvas), series_(series) {}

    void add(const QPointF& from, const QPointF& to, const QColor& colour) {
        if (colour != colour_) {
            if (!lines_.empty()) {
                canvas_.drawEarlierLayers();
                draw();
            }
            colour_ = colour;
        }
        lines_.emplace_back(canvas_.toPainter(from), canvas_.toPainter(to));
    }
    void finish() {
        if (!lines_.empty()) {
            canvas_.drawAll();
            draw();
        }
    }

private:
    void draw() {
        painter_.setPen(linePen(series_, colour_, canvas_));
        painter_.drawLines(lines_.data(), int(lines_.size()));
        lines_.clear();
    }

    QPainter& painter_;
    ColumnCanvas& canvas_;
    const LineSeries& series_;
    QColor colour_;
    std::vector<QLineF> lines_;
};

// Covers the pixel rows between `top` and `bottom` in the pixel column at `x`, in the canvas's
// pixels, as a line of the series' pen width would.
void addStroke(ColumnCanvas& canvas, const LineSeries& series, double x, double top, double bottom,
               const QColor& colour) {
    const int width = canvas.pixelWidth(series.penWidth());
    canvas.addStroke(int(std::floor(x)) - (width - 1) / 2, int(std::floor(top)) - (width - 1) / 2,
                     int(std::floor(bottom)) + width / 2, width, colour);
}

QPointF pointAt(const LineSeries& series, qsizetype i, const PlotView& view) {
    return {view.pixelX(series.x(i)), view.pixelY(series.y(i))};
}

void paintPolyline(QPainter& painter, const ColumnCanvas& canvas, const LineSeries& series,
                   const PlotView& view, qsizetype first, qsizetype last) {
    std::vector<QPointF> line{pointAt(series, first, view)};
    QColor colour;
    const auto flush = [&] {
        if (line.size() > 1) {
            painter.setPen(linePen(series, colour, canvas));
            painter.drawPolyline(line.data(), int(line.size()));
        }
        line.erase(line.begin(), line.end() - 1);
    };
    for (qsizetype i = first + 1; i <= last; ++i) {
        const QColor segment = series.colour(i);
        if (segment != colour) {
            flush();
            colour = segment;
        }
        line.push_back(pointAt(series, i, view));
    }
    flush();
}

void paintEnvelope(QPainter& painter, ColumnCanvas& canvas, const LineSeries& series,
                   const PlotView& view, const std::vector<ColumnExtremes>& envelope,
                   IndexRange points) {
    canvas.startLayer();
    LineBatch links(painter, canvas, series);
    bool hasPrevious = points.first > 0;
    QPointF previous = hasPrevious ? pointAt(series, points.first - 1, view) : QPointF();
    int previousColumn = -2;
    for (const ColumnExtremes& column : envelope) {
        const double x = view.area.left() + column.column + 0.5;
        const double high = view.pixelY(column.y.maximum);
        const double low = view.pixelY(column.y.minimum);
        const QColor linkColour = series.colour(column.first);
        const QColor strokeColour = series.colour(column.last);
        if (hasPrevious && previousColumn == column.column - 1 && linkColour == strokeColour) {
            // The link from the neighbouring column is as good as vertical: one stroke holds it.
            addStroke(canvas, series, x, std::min(high, previous.y()), std::max(low, previous.y()),
                      strokeColour);
        } else {
            if (hasPrevious) {
                links.add(previous, {x, view.pixelY(column.firstY)}, linkColour);
            }
            addStroke(canvas, series, x, high, low, strokeColour);
        }
        previous = {x, view.pixelY(column.lastY)};
        previousColumn = column.column;
        hasPrevious = true;
    }
    if (points.end < series.count()) {
        links.add(previous, pointAt(series, points.end, view), series.colour(points.end));
    }
    links.finish();
}

} // namespace

QPen penOf(const LineSeries& series, const QColor& colour) {
    return QPen(colour, series.penWidth(), qtPenStyle(series.penStyle()));
}

void paintLineSeries(QPainter& painter, ColumnCanvas& canvas, EnvelopeCache& envelope,
                     const LineSeries& series, const PlotView& view) {
    if (series.count() == 0 || view.area.width() <= 0) {
        return;
    }
    // The columns are the canvas's: device pixel columns on a scaled screen.
    const PlotView pixels{canvas.area(), view.x, view.y};
    const ColumnMapping mapping(view.x.minimum, view.x.maximum, pixels.area.width());
    const IndexRange points = envelope.points(series, mapping);
    if (points.end - points.first > pixels.area.width()) {
        paintEnvelope(painter, canvas, series, pixels, envelope.envelope(series, mapping), points);
        return;
    }
    canvas.drawAll();
    // The neighbours outside the view give the lines that enter and leave it.
    const qsizetype first = std::max<qsizetype>(points.first - 1, 0);
    const qsizetype last = std::min(points.end, series.count() - 1);
    if (first == last) {
        const QPointF only = pointAt(series, first, view);
        painter.setPen(linePen(series, series.colour(first), canvas));
        painter.drawPoint(only);
        return;
    }
    paintPolyline(painter, canvas, series, view, first, last);
}

} // namespace zorvan::chart
