#include "ui/title_bar_button.h"

#include "ui/artwork_pixmap.h"

#include <QMouseEvent>
#include <QPainter>

namespace zorvan::ui {

TitleBarButton::TitleBarButton(resources::TitleButton button, QWidget* parent)
    : QWidget(parent), button_(button) {
    setFixedSize(resources::artworkSize(
        resources::titleButtonArtwork(button, resources::TitleButtonLook::Normal)));
}

void TitleBarButton::setState(State state) {
    if (state == state_) {
        return;
    }
    state_ = state;
    update();
}

QPixmap TitleBarButton::picture(State state) const {
    static constexpr resources::TitleButtonLook kLooks[] = {resources::TitleButtonLook::Normal,
                                                            resources::TitleButtonLook::Hover,
                                                            resources::TitleButtonLook::Pressed};
    return artworkPixmap(
        resources::titleButtonArtwork(button_, kLooks[static_cast<std::size_t>(state)]),
        devicePixelRatioF());
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
