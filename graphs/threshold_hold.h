#pragma once

// The threshold graph plots every reading above the threshold and keeps only some context of
// the stretches at or below it: the first ten readings of a stretch as they come, and the last
// ten not yet plotted just before the next reading above it. A long quiet stretch loses its
// middle, so hours of readings at 18 ms stay a graph of the excursions.

#include <array>
#include <vector>

namespace zorvan::graphs {

struct TimedValue {
    double value = 0.0;
    double time = 0.0; // seconds
};

class ThresholdHold {
public:
    static constexpr int kHeldMax = 10;

    // A new run: nothing held, nothing shown.
    void restart();

    // The readings to plot for this one, oldest first; `above` tells whether it lay above the
    // threshold (the vertical axis then follows the graph).
    std::vector<TimedValue> take(TimedValue reading, double threshold, bool& above);

    int heldCount() const { return heldCount_; }
    int heldShown() const { return heldShown_; }

private:
    std::array<TimedValue, kHeldMax> held_{};
    int heldCount_ = 0;
    // How many of the held readings, from the first, are already on the graph.
    int heldShown_ = 0;
};

} // namespace zorvan::graphs
