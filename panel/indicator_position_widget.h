#pragma once

// One position of the virtual indicator: a large character with a round decimal point in its
// lower right corner.

#include "link/indicator_codes.h"

#include <QLabel>

namespace zorvan::panel {

class IndicatorPositionWidget final : public QLabel, public link::IndicatorPosition {
public:
    explicit IndicatorPositionWidget(QWidget* parent = nullptr);

    std::string caption() const override;
    void setCaption(const std::string& text) override;
    int fontSize() const override;
    void setFontSize(int size) override;
    bool pointVisible() const override;
    void setPointVisible(bool visible) override;

    QWidget* point() const { return point_; }

private:
    QWidget* point_;
};

} // namespace zorvan::panel
