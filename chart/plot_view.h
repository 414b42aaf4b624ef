#pragma once

#include "chart/value_range.h"

#include <QRect>
#include <algorithm>

namespace zorvan::chart {

// The plot area in pixels and the data ranges it shows; maps data to pixels and back.
struct PlotView {
    QRect area;
    ValueRange x;
    ValueRange y;

    double pixelX(double value) const {
        return clampOffArea(area.left() +
                            (value - x.minimum) * area.width() / (x.maximum - x.minimum));
    }
    double pixelY(double value) const {
        return clampOffArea(area.top() + area.height() -
                            (value - y.minimum) * area.height() / (y.maximum - y.minimum));
    }
    double valueX(double pixel) const {
        return x.minimum + (pixel - area.left()) * (x.maximum - x.minimum) / area.width();
    }
    double valueY(double pixel) const {
        return y.minimum +
               (area.top() + area.height() - pixel) * (y.maximum - y.minimum) / area.height();
    }

private:
    // Far-off points still give the right slope where their segment crosses the area, while the
    // rasteriser never sees coordinates it cannot hold.
    static double clampOffArea(double pixel) { return std::clamp(pixel, -1e6, 1e6); }
};

} // namespace zorvan::chart
