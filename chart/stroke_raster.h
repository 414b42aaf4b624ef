#pragma once

#include <QRect>
#include <QRgb>
#include <span>
#include <vector>

namespace zorvan::chart {

// One vertical stroke: pixel columns [left, left + width), rows [top, bottom].
struct Stroke {
    int left;
    int width;
    int top;
    int bottom;
    QRgb pixel;
};

// A 32-bit pixel buffer the strokes are written into: a stroke's pixel (x, y) lands on buffer
// pixel (x, y) + offset, and only where (x, y) lies inside `clip`.
struct StrokeTarget {
    QRgb* bits;
    qsizetype stride; // in pixels
    QPoint offset;
    QRect clip;
};

// Writes strokes in any order, later ones over earlier ones, each pixel once: the strokes of
// several series over a long time cover the same rows of every column again and again, and only
// the last stroke over a pixel is seen. Rows of equal pixels across neighbouring columns are
// written as row runs: a stroke written down a column puts every pixel on its own cache line and
// memory page, which costs many times more than writing the same pixels along rows. Keeps its
// working memory between calls.
class StrokeWriter {
public:
    void write(const StrokeTarget& target, std::span<const Stroke> strokes);

private:
    // A stroke's part in one pixel column.
    struct Span {
        int top;
        int bottom;
        QRgb pixel;
    };
    // A run of whole-band stroke parts in neighbouring columns, all of one pixel.
    struct BandRun {
        int left = 0;
        int end = 0; // one past the last column; equal to left while there is no run
        QRgb pixel = 0;
    };

    void sortIntoColumns(const QRect& clip, std::span<const Stroke> strokes);
    void writeColumn(const StrokeTarget& target, int x, const Span* first, const Span* end);
    void cover(int top, int bottom);
    void writeVisible(const StrokeTarget& target, int x, int top, int bottom, QRgb pixel);
    void flushRun(const StrokeTarget& target, std::size_t band);

    std::vector<int> columnStarts_; // where each clip column's spans begin in spans_
    std::vector<int> next_;         // where the next span of each column goes
    std::vector<Span> spans_;       // by column, in the order their strokes came
    std::vector<Span> covered_;     // rows of the column under later strokes, top to bottom
    std::vector<BandRun> runs_;
};

} // namespace zorvan::chart
