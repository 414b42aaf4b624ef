#include "ui/captioned_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPropertyAnimation>
#include <QScreen>

namespace zorvan::ui {

namespace {

constexpr int kOpeningAnimationMs = 200;

} // namespace

CaptionedWindow::CaptionedWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowMinMaxButtonsHint) {
}

void CaptionedWindow::toggleMaximized() {
    if (isMaximized()) {
        showNormal();
    } else {
        showMaximized();
    }
}

void CaptionedWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) {
        return;
    }
    shownOnce_ = true;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect target((screen.width() - width()) / 2, (screen.height() - height()) / 3, width(),
                       height());
    focusHolder()->setFocus();
    // A minimum size would hold the first frames at that size with their top left at the centre,
    // so the window would slide in from the lower right; it is lifted while the window grows.
    const QSize minimum = minimumSize();
    setMinimumSize(0, 0);
    auto* opening = new QPropertyAnimation(this, "geometry", this);
    opening->setDuration(kOpeningAnimationMs);
    opening->setStartValue(QRect(target.center(), QSize(1, 1)));
    opening->setEndValue(target);
    connect(opening, &QAbstractAnimation::finished, this,
            [this, minimum] { setMinimumSize(minimum); });
    opening->start(QAbstractAnimation::DeleteWhenStopped);
}

void CaptionedWindow::closeEvent(QCloseEvent* event) {
    if (!mayClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void CaptionedWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F4 && event->modifiers().testFlag(Qt::AltModifier)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace zorvan::ui
