#pragma once

#include <QColor>
#include <QString>
#include <functional>

namespace zorvan::chart {

// One bar, drawn across the whole plot width from the bottom of the axis up to its value, with its
// label centred above it.
class BarSeries {
public:
    void setBar(double value, const QColor& colour, const QString& label = {});
    void clear();
    bool hasBar() const { return hasBar_; }
    double value() const { return value_; }
    QColor colour() const { return colour_; }
    QString label() const { return label_; }
    void setValue(double value);
    void setColour(const QColor& colour);

private:
    friend class Chart;
    void notifyChanged() const;

    bool hasBar_ = false;
    double value_ = 0.0;
    QColor colour_;
    QString label_;
    std::function<void()> changed_;
};

} // namespace zorvan::chart
