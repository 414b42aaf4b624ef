#pragma once

#include <QImage>
#include <QRect>

class QPainter;

namespace zorvan::chart {

// Vertical strokes written straight into an image, then drawn with one blit. The raster engine
// fills a one-pixel-wide stroke row by row through its span machinery, several nanoseconds a
// pixel; a dense series over a long time strokes much of the plot height in every column, so
// writing the pixels directly is several times faster where it matters most.
class ColumnCanvas {
public:
    // Starts strokes over `area`, in widget pixels.
    void begin(const QRect& area);
    // Pixel columns [left, left + width) from row `top` to row `bottom`, clipped to the area.
    void addStroke(int left, int top, int bottom, int width, const QColor& colour);
    // Draws the strokes added since begin() and forgets them.
    void paintOnto(QPainter& painter);

private:
    QImage image_;
    QPoint origin_; // the area's top left: where the image is drawn
    QRect touched_; // in image pixels
};

} // namespace zorvan::chart
