#include "chart/bar_series.h"

namespace zorvan::chart {

void BarSeries::setBar(double value, const QColor& colour, const QString& label) {
    hasBar_ = true;
    value_ = value;
    colour_ = colour;
    label_ = label;
    notifyChanged();
}

void BarSeries::clear() {
    hasBar_ = false;
    value_ = 0.0;
    label_.clear();
    notifyChanged();
}

void BarSeries::setValue(double value) {
    hasBar_ = true;
    value_ = value;
    notifyChanged();
}

void BarSeries::setColour(const QColor& colour) {
    colour_ = colour;
    notifyChanged();
}

void BarSeries::notifyChanged() const {
    if (changed_) {
        changed_();
    }
}

} // namespace zorvan::chart
