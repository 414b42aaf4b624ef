#pragma once

#include "chart/stroke_raster.h"

#include <QImage>
#include <QRect>
#include <vector>

class QPainter;

namespace zorvan::chart {

// Vertical strokes written straight into pixels. The raster engine fills a one-pixel-wide stroke
// row by row through its span machinery, several nanoseconds a pixel; a dense series over a long
// time strokes much of the plot height in every column, so writing the pixels directly is several
// times faster where it matters most. Where the painter draws into an image of 32-bit pixels
// without scaling, the strokes go straight into it; elsewhere through an image of their own,
// drawn with one blit.
class ColumnCanvas {
public:
    // Starts strokes over `area`, in widget pixels.
    void begin(const QRect& area);
    // Pixel columns [left, left + width) from row `top` to row `bottom`, clipped to the area.
    void addStroke(int left, int top, int bottom, int width, const QColor& colour);
    // Draws the strokes added since begin() and forgets them.
    void paintOnto(QPainter& painter);

private:
    bool writeIntoDevice(QPainter& painter);
    void drawThroughImage(QPainter& painter);

    QRect area_;
    std::vector<Stroke> strokes_; // in widget pixels, within the area
    QRect touched_;
    // The strokes come left to right, each right of every earlier one of another pixel.
    bool ordered_ = true;
    int rightmost_ = 0;        // the rightmost pixel column of the strokes so far
    int otherPixelsRight_ = 0; // that of the strokes before the last change of pixel
    bool opaque_ = true;
    QImage image_;
};

} // namespace zorvan::chart
