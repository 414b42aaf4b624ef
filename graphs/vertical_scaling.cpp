#include "graphs/vertical_scaling.h"

namespace zorvan::graphs {

namespace {

constexpr double kSeriesMargin = 1.0 / 70.0;
constexpr double kAxisMargin = 0.02;

} // namespace

AxisRange verticalRange(std::span<const SeriesExtent> series) {
    if (series.empty()) {
        return {};
    }
    double low = 0.0;
    double high = 0.0;
    bool first = true;
    for (const SeriesExtent& extent : series) {
        const double margin = (extent.highest - extent.lowest) * kSeriesMargin;
        const double lowEnd = extent.lowest - margin;
        const double highEnd = extent.highest + margin;
        if (first || lowEnd < low) {
            low = lowEnd;
        }
        if (first || highEnd > high) {
            high = highEnd;
        }
        first = false;
    }
    if (low != high) {
        const double widenedLow = low - (high - low) * kAxisMargin;
        return {widenedLow, high + (high - widenedLow) * kAxisMargin};
    }
    if (low >= 0.0) {
        return {low * (1.0 - kAxisMargin), high * (1.0 + kAxisMargin)};
    }
    return {low * (1.0 + kAxisMargin), high * (1.0 - kAxisMargin)};
}

} // namespace zorvan::graphs
