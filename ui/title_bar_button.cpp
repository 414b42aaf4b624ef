#include "ui/title_bar_button.h"

#include "ui/artwork_pixmap.h"

#include <QMouseEvent>
#include <QPainter>

namespace zorvan::ui {

namespace {

QPixmap titleButtonPixmap(resources::TitleButton button, resources::TitleButtonLook look) {
    return artworkPixmap(resources::titleButtonArtwork(button, look));
}

} // namespace

TitleBarButton::TitleBarButton(resources::TitleButton button, QWidget* parent)
    : TitleBarButton(titleButtonPixmap(button, resources::TitleButtonLook::Normal),
                     titleButtonPixmap(button, resources::TitleButtonLook::Hover),
                     titleButtonPixmap(button, resources::TitleButtonLook::Pressed), parent) {
}

TitleBarButton::TitleBarButton(const QPixmap& normal, const QPixmap& hover, const QPixmap& pressed,
                               QWidget* parent)
    : QWidget(parent), pictures_{normal, hover, pressed} {
    setFixedSize(normal.deviceIndependentSize().toSize());
}

void TitleBarButton::setState(State state) {
    if (state == state_) {
        return;
    }
    state_ = state;
    update();
}

QPixmap TitleBarButton::picture(State state) const {
    return pictures_[static_cast<std::size_t>(state)];
}

void TitleBarButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, currentPicture());
}

void TitleBarButton::enterEvent(QEnterEvent*) {
    setState(State::Hover);
}

void TitleBarButton::leaveEvent(QEvent*) {
    setState(State::Normal);
}

void TitleBarButton::mousePressEvent(QMouseEvent* event) {
    setState(State::Pressed);
    event->accept();
}

void TitleBarButton::mouseReleaseEvent(QMouseEvent* event) {
    setState(State::Hover);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Q_EMIT clicked();
    }
}

} // namespace zorvan::ui
