#include "graphs/sweep_range.h"

#include <algorithm>

namespace zorvan::graphs {

namespace {

// Each curve keeps this much room, in percent humidity, above and below its points.
constexpr double kCurveRoom = 0.1;
constexpr double kMarginShare = 0.005;
// Starting values that any measurement replaces.
constexpr double kNoMinimum = 1e17;
constexpr double kNoMaximum = -1e17;

} // namespace

SweepRange sweepVerticalRange(const std::array<CurveExtent, 3>& scans,
                              const std::array<CurveExtent, kOverlayCount>& overlays) {
    SweepRange range;
    double minimum = kNoMinimum;
    double maximum = kNoMaximum;
    const auto take = [&](const CurveExtent& curve) {
        if (!curve.empty) {
            minimum = std::min(minimum, curve.lowest - kCurveRoom);
            maximum = std::max(maximum, curve.highest + kCurveRoom);
        }
        return !curve.empty;
    };
    for (const CurveExtent& scan : scans) {
        range.clearScans = take(scan) || range.clearScans;
    }
    for (int i = 0; i < kOverlayCount; ++i) {
        range.clearOverlay[i] = take(overlays[i]);
        range.clearAllOverlays = range.clearAllOverlays || range.clearOverlay[i];
    }
    range.clearAll = range.clearScans || range.clearAllOverlays;
    range.allEmpty = !range.clearAll;
    if (range.allEmpty) {
        return range;
    }
    const double margin = (maximum - minimum) * kMarginShare;
    range.minimum = minimum - margin;
    range.maximum = maximum + margin;
    return range;
}

} // namespace zorvan::graphs
