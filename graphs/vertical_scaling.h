#pragma once

// The vertical axis of a graph: the lowest and highest values of the series shown, widened so
// that the line never touches the frame. Shared by the live modes and the file loader.

#include <span>

namespace zorvan::graphs {

// Lowest and highest Y of one series that holds points.
struct SeriesExtent {
    double lowest = 0.0;
    double highest = 0.0;
};

struct AxisRange {
    double minimum = 0.0;
    double maximum = 0.0;
};

// Each series is widened by 1/70 of its own height at both ends; the overall range by 2 % more,
// the top from the already widened bottom. A flat range is opened by 2 % of its value, so a flat
// 0 stays 0..0. An empty span gives 0..0.
AxisRange verticalRange(std::span<const SeriesExtent> series);

} // namespace zorvan::graphs
