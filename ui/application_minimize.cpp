#include "ui/application_minimize.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace zorvan::ui {

namespace {

class ApplicationMinimize final : public QObject {
public:
    explicit ApplicationMinimize(QWidget& window) : QObject(&window), window_(window) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::WindowStateChange) {
            const bool minimized = window_.isMinimized();
            if (minimized && !minimized_) {
                minimizeOthers();
            } else if (!minimized && minimized_) {
                restoreOthers();
            }
            minimized_ = minimized;
        }
        return false;
    }

private:
    void minimizeOthers() {
        for (QWidget* other : QApplication::topLevelWidgets()) {
            if (other != &window_ && other->isVisible() && !other->isMinimized()) {
                taken_.emplace_back(other);
                other->showMinimized();
            }
        }
    }

    void restoreOthers() {
        for (const QPointer<QWidget>& other : taken_) {
            if (other && other->isMinimized()) {
                other->setWindowState(other->windowState() & ~Qt::WindowMinimized);
                other->show();
            }
        }
        taken_.clear();
    }

    QWidget& window_;
    bool minimized_ = false;
    // The windows this minimise took down, and only those come back with the restore.
    std::vector<QPointer<QWidget>> taken_;
};

} // namespace

void minimizeApplicationWith(QWidget& window) {
    new ApplicationMinimize(window);
}

} // namespace zorvan::ui
