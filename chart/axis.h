#pragma once

#include "chart/value_range.h"

#include <functional>

namespace zorvan::chart {

// One axis of a Chart: a fixed range, or one that follows the data of the visible series. The
// fixed range is kept while automatic, so switching back restores it. Zooming is a view of the
// chart on top of the axis and does not change it.
class Axis {
public:
    void setAutomatic(bool automatic);
    bool automatic() const { return automatic_; }
    // Refused (false, nothing changes) when above the fixed maximum; equal is allowed.
    bool setMinimum(double minimum);
    // Refused when below the fixed minimum.
    bool setMaximum(double maximum);
    // Both together; swapped when given the wrong way round.
    void setMinMax(double minimum, double maximum);
    // The range in use: the data's when automatic and there is data, else the fixed one.
    double minimum() const { return rangeInUse().minimum; }
    double maximum() const { return rangeInUse().maximum; }

private:
    friend class Chart;
    Axis(std::function<ValueRange()> dataRange, std::function<void()> changed);
    ValueRange rangeInUse() const;

    bool automatic_ = true;
    double minimum_ = 0.0;
    double maximum_ = 1.0;
    std::function<ValueRange()> dataRange_;
    std::function<void()> changed_;
};

} // namespace zorvan::chart
