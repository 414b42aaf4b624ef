#include "panel/indicator_position_widget.h"

#include <QFontDatabase>

namespace zorvan::panel {
namespace {

constexpr int kPointDiameter = 7;
// The lit segments' colour of the instrument's display.
const QColor kSegmentColour(184, 255, 51);

QString indicatorFamily() {
    const QStringList installed = QFontDatabase::families();
    return installed.contains(QStringLiteral("Courier New")) ? QStringLiteral("Courier New")
                                                             : QStringLiteral("Liberation Mono");
}

} // namespace

IndicatorPositionWidget::IndicatorPositionWidget(QWidget* parent)
    : QLabel(parent), point_(new QWidget(this)) {
    QFont font(indicatorFamily());
    font.setBold(true);
    font.setPointSize(link::kIndicatorFontSize);
    setFont(font);
    setAlignment(Qt::AlignCenter);
    setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(kSegmentColour.name()));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    point_->setFixedSize(kPointDiameter, kPointDiameter);
    point_->setStyleSheet(QStringLiteral("background: %1; border-radius: %2px;")
                              .arg(kSegmentColour.name())
                              .arg(kPointDiameter / 2));
    point_->hide();
}

std::string IndicatorPositionWidget::caption() const {
    return text().toStdString();
}

void IndicatorPositionWidget::setCaption(const std::string& text) {
    setText(QString::fromStdString(text));
}

int IndicatorPositionWidget::fontSize() const {
    return font().pointSize();
}

void IndicatorPositionWidget::setFontSize(int size) {
    QFont changed = font();
    changed.setPointSize(size);
    setFont(changed);
}

bool IndicatorPositionWidget::pointVisible() const {
    return !point_->isHidden();
}

void IndicatorPositionWidget::setPointVisible(bool visible) {
    point_->move(width() - kPointDiameter - 1, height() - kPointDiameter - 6);
    point_->setVisible(visible);
}

} // namespace zorvan::panel
