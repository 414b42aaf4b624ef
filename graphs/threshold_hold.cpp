#include "graphs/threshold_hold.h"

#include <algorithm>
#include <cmath>

namespace zorvan::graphs {

namespace {

// Far above the rounding of a few multiplications, far below an instrument's last digit.
constexpr double kScalingSlack = 1e-12;

} // namespace

void ThresholdHold::restart() {
    heldCount_ = 0;
    heldShown_ = 0;
}

std::vector<TimedValue> ThresholdHold::take(TimedValue reading, double threshold, bool& above) {
    std::vector<TimedValue> plotted;
    // Readings are the instrument's counts scaled by tenths, one rounding off for each decimal:
    // a reading that shows the threshold is equal to it, not above.
    above = reading.value > threshold + std::abs(threshold) * kScalingSlack;
    if (above) {
        if (heldCount_ > 0) {
            plotted.assign(held_.begin() + heldShown_, held_.begin() + heldCount_);
            heldCount_ = 0;
        }
        plotted.push_back(reading);
        return plotted;
    }
    if (heldCount_ == kHeldMax) {
        std::move(held_.begin() + 1, held_.end(), held_.begin());
        held_.back() = reading;
        if (heldShown_ > 0) {
            --heldShown_;
        }
        return plotted;
    }
    held_[static_cast<std::size_t>(heldCount_)] = reading;
    ++heldCount_;
    heldShown_ = heldCount_;
    plotted.push_back(reading);
    return plotted;
}

} // namespace zorvan::graphs
