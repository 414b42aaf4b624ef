#pragma once

#include "chart/column_canvas.h"
#include "chart/envelope_cache.h"
#include "chart/line_series.h"
#include "chart/plot_view.h"

#include <QPen>

class QPainter;

namespace zorvan::chart {

// The series' pen in widget pixels, which the painter widens on a scaled screen as all else (the
// legend draws its sample line with it).
QPen penOf(const LineSeries& series, const QColor& colour);

// Draws a line series clipped to the plot area. Where the view holds no more points than pixel
// columns (the canvas's, which are the device's on a scaled screen), the real polyline. Else one
// vertical stroke per pixel column over the column's true extremes and the link from the previous
// column, so no column ever loses its lowest or highest point and the cost follows the width, not
// the point count. The segment ending at a point is drawn in that point's colour.
// `canvas` holds the column strokes, begun for the paint, which may keep them until its
// drawAll(); `envelope` is the series' own, kept between paints to save the work.
void paintLineSeries(QPainter& painter, ColumnCanvas& canvas, EnvelopeCache& envelope,
                     const LineSeries& series, const PlotView& view);

} // namespace zorvan::chart
