#pragma once

// The vertical range of the sweep window over its ten curves, and which clear items of its chart
// menu have something to clear.

#include <array>

namespace zorvan::graphs {

inline constexpr int kOverlayCount = 7;

// Lowest and highest Y of a curve; nothing to take when it is empty.
struct CurveExtent {
    bool empty = true;
    double lowest = 0.0;
    double highest = 0.0;
};

struct SweepRange {
    double minimum = -0.5;
    double maximum = 0.5;
    bool allEmpty = true;
    bool clearScans = false; // "Очистить график"
    bool clearAll = false;   // "Очистить все графики"
    bool clearAllOverlays = false; // "Очистить все дополнительные графики"
    std::array<bool, kOverlayCount> clearOverlay{};
};

// The current scan and the two before it, then the seven overlays. Every curve that holds points
// gets 0.1 (percent humidity) of room below and above it, the whole range 0.5 % of its height
// more at both ends; with no points at all the range is -0.5..0.5.
SweepRange sweepVerticalRange(const std::array<CurveExtent, 3>& scans,
                              const std::array<CurveExtent, kOverlayCount>& overlays);

} // namespace zorvan::graphs
