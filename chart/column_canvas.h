#pragma once

#include "chart/stroke_raster.h"

#include <QImage>
#include <QRect>
#include <span>
#include <vector>

class QPainter;

namespace zorvan::chart {

// Vertical strokes written straight into pixels. The raster engine fills a one-pixel-wide stroke
// row by row through its span machinery, several nanoseconds a pixel; a dense series over a long
// time strokes much of the plot height in every column, so writing the pixels directly is several
// times faster where it matters most. Where the painter draws into an image of 32-bit pixels
// without scaling, the strokes go straight into it; elsewhere through an image of their own,
// drawn with one blit.
//
// The strokes of all series of a paint are kept until something else must be drawn over them,
// and then written in one pass, each pixel once: dense series over the same rows would otherwise
// write every pixel of them once per series.
class ColumnCanvas {
public:
    // Starts the strokes of a paint over `area`, in widget pixels, drawn with `painter`, whose
    // clip and transform stay as they are until drawAll().
    void begin(QPainter& painter, const QRect& area);
    // The strokes added from here on lie over those before: they are another series'.
    void startLayer();
    // Pixel columns [left, left + width) from row `top` to row `bottom`, clipped to the area.
    void addStroke(int left, int top, int bottom, int width, const QColor& colour);
    // Draws the strokes of the layers before the current one, for what the current layer draws
    // before its own strokes.
    void drawEarlierLayers();
    // Draws every stroke added and forgets them: before anything is drawn over them, and at the
    // end of the paint.
    void drawAll();

private:
    void draw(std::size_t count);
    bool writeIntoDevice(std::span<const Stroke> strokes, const QRect& touched);
    void drawThroughImage(std::span<const Stroke> strokes, const QRect& touched);

    QPainter* painter_ = nullptr;
    QRect area_;
    std::vector<Stroke> strokes_; // in widget pixels, within the area
    std::size_t layerStart_ = 0;  // the first stroke of the current layer
    StrokeWriter writer_;
    QImage image_;
};

} // namespace zorvan::chart
