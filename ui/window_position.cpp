#include "ui/window_position.h"

#include <QGuiApplication>
#include <QScreen>

namespace zorvan::ui {

namespace {

constexpr int kBottomMargin = 20;

QScreen* screenHolding(QPoint point) {
    QScreen* screen = QGuiApplication::screenAt(point);
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

} // namespace

QPoint clampToScreen(QPoint topLeft, QSize window, QRect screen) {
    int left = topLeft.x();
    int top = topLeft.y();
    if (left < screen.left()) {
        left = screen.left();
    }
    if (top < screen.top()) {
        top = screen.top();
    }
    const int maxLeft = screen.left() + screen.width() - window.width();
    if (left > maxLeft) {
        left = maxLeft;
    }
    const int maxTop = screen.top() + screen.height() - window.height() - kBottomMargin;
    if (top > maxTop) {
        top = maxTop;
    }
    return {left, top};
}

QPoint positionOverOwner(QRect owner, QSize window) {
    return {owner.left() + (owner.width() - window.width()) / 2,
            owner.top() + (owner.height() - window.height()) / 3};
}

QRect screenArea(QPoint point) {
    QScreen* screen = screenHolding(point);
    return screen != nullptr ? screen->geometry() : QRect();
}

QRect availableScreenArea(QPoint point) {
    QScreen* screen = screenHolding(point);
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

} // namespace zorvan::ui
