#pragma once

#include <QRect>
#include <QRgb>
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

// Writes the strokes, later ones over earlier ones. When they come left to right and each lies
// right of every earlier one of another pixel (`ordered`: wide strokes of one colour may overlap),
// rows of equal pixels across neighbouring strokes are written as row runs: a stroke written
// down a column puts every pixel on its own cache line and memory page, which costs many times
// more than writing the same pixels along rows.
void writeStrokes(const StrokeTarget& target, const std::vector<Stroke>& strokes, bool ordered);

} // namespace zorvan::chart
