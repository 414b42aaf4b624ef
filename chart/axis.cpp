#include "chart/axis.h"

#include <utility>

namespace zorvan::chart {

Axis::Axis(std::function<ValueRange()> dataRange, std::function<void()> changed)
    : dataRange_(std::move(dataRange)), changed_(std::move(changed)) {
}

void Axis::setAutomatic(bool automatic) {
    automatic_ = automatic;
    changed_();
}

bool Axis::setMinimum(double minimum) {
    if (minimum > maximum_) {
        return false;
    }
    minimum_ = minimum;
    changed_();
    return true;
}

bool Axis::setMaximum(double maximum) {
    if (maximum < minimum_) {
        return false;
    }
    maximum_ = maximum;
    changed_();
    return true;
}

void Axis::setMinMax(double minimum, double maximum) {
    if (minimum > maximum) {
        std::swap(minimum, maximum);
    }
    minimum_ = minimum;
    maximum_ = maximum;
    changed_();
}

ValueRange Axis::rangeInUse() const {
    if (automatic_) {
        const ValueRange data = dataRange_();
        if (!data.empty()) {
            return data;
        }
    }
    return {minimum_, maximum_};
}

} // namespace zorvan::chart
