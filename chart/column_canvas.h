#pragma once

#include "chart/stroke_raster.h"

#include <QImage>
#include <QRect>
#include <QTransform>
#include <span>
#include <vector>

class QPainter;

namespace zorvan::chart {

// Vertical strokes written straight into pixels. The raster engine fills a one-pixel-wide stroke
// row by row through its span machinery, several nanoseconds a pixel; a dense series over a long
// time strokes much of the plot height in every column, so writing the pixels directly is several
// times faster where it matters most.
//
// Strokes are given in the canvas's pixels: the device's, wherever the painter only scales and
// moves (a screen scaled by 125 %, 150 % or 200 %, a picture of such a window), so that they are
// as sharp as the device can show; widget pixels under any other transform. Where the painter
// draws into an image of 32-bit pixels, the strokes go straight into it; elsewhere through an
// image of their own at the same resolution, drawn with one blit.
//
// The strokes of all series of a paint are kept until something else must be drawn over them,
// and then written in one pass, each pixel once: dense series over the same rows would otherwise
// write every pixel of them once per series.
class ColumnCanvas {
public:
    // Starts the strokes of a paint over `area`, in widget pixels, drawn with `painter`, whose
    // clip and transform stay as they are until drawAll().
    void begin(QPainter& painter, const QRect& area);
    // The area in the canvas's pixels, its edges rounded to the nearest pixel as the painter
    // rounds a clip rectangle.
    const QRect& area() const { return area_; }
    // How many of the canvas's pixels wide a line of `width` widget pixels is drawn: that width
    // in the canvas's pixels rounded down, at least one, so the line is as wide in each column.
    // Strokes that join each column to its neighbour's last point look a little heavier than the
    // painter's line of the same width; rounded down, they match it best at 125 % and 150 %
    // (a line of one pixel is one device pixel there, of three pixels three and four).
    int pixelWidth(int width) const;
    // A point in the canvas's pixels in the painter's coordinates, for what the painter draws.
    QPointF toPainter(const QPointF& pixel) const { return fromPixels_.map(pixel); }
    // The strokes added from here on lie over those before: they are another series'.
    void startLayer();
    // Pixel columns [left, left + width) from row `top` to row `bottom`, in the canvas's pixels,
    // clipped to the area.
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
    bool devicePixels_ = false; // the canvas's pixels are the device's
    double scale_ = 1.0;        // the canvas's pixels per widget pixel
    QTransform toPixels_;       // from the painter's coordinates to the canvas's pixels
    QTransform fromPixels_;
    QRect area_;
    std::vector<Stroke> strokes_; // in the canvas's pixels, within the area
    std::size_t layerStart_ = 0;  // the first stroke of the current layer
    StrokeWriter writer_;
    QImage image_;
};

} // namespace zorvan::chart
