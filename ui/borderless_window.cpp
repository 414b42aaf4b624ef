#include "ui/borderless_window.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPointer>

namespace zorvan::ui {

namespace {

// Qt reads an empty mask as "no mask", which would show the whole window; a pixel
// outside the window hides it instead.
const QRegion kNothingVisible{-1, -1, 1, 1};

// Forwards left-button drags on a handle widget to its window.
class DragHandleFilter : public QObject {
public:
    explicit DragHandleFilter(BorderlessWindow* window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto* press = static_cast<QMouseEvent*>(event);
            if (press->button() == Qt::LeftButton) {
                window_->beginDrag(press->position().toPoint());
            }
            break;
        }
        case QEvent::MouseMove:
            window_->dragTo(static_cast<QMouseEvent*>(event)->position().toPoint());
            break;
        case QEvent::MouseButtonRelease:
            window_->endDrag();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    BorderlessWindow* window_;
};

} // namespace

BorderlessWindow::BorderlessWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    openingTimer_.setTimerType(Qt::PreciseTimer);
    closingTimer_.setTimerType(Qt::PreciseTimer);
    connect(&openingTimer_, &QTimer::timeout, this, &BorderlessWindow::openingTick);
    connect(&closingTimer_, &QTimer::timeout, this, &BorderlessWindow::closingTick);
}

void BorderlessWindow::setOutline(const QRegion& outline) {
    outline_ = outline;
}

void BorderlessWindow::startReveal(const RevealSteps& steps) {
    steps_ = steps;
    extent_ = steps.startExtent;
    closingDone_ = false;
    phase_ = Phase::Opening;
    closingTimer_.stop();
    showRevealArea(initialRevealArea(steps.shape, size(), steps.startExtent));
    openingTimer_.start(steps.openPeriodMs);
}

void BorderlessWindow::openingTick() {
    if (phase_ != Phase::Opening) {
        return;
    }
    extent_ += steps_.openStep;
    showRevealArea(revealArea(steps_.shape, size(), extent_));
    if (extent_ > steps_.openLimit) {
        openingTimer_.stop();
        phase_ = Phase::Open;
        Q_EMIT opened();
    }
}

void BorderlessWindow::closingTick() {
    if (phase_ != Phase::Closing) {
        return;
    }
    if (extent_ < 2) {
        closingTimer_.stop();
        phase_ = Phase::Closed;
        closingDone_ = true;
        Q_EMIT closingFinished();
        close();
        return;
    }
    showRevealArea(revealArea(steps_.shape, size(), extent_));
    extent_ -= steps_.closeStep;
}

void BorderlessWindow::closeEvent(QCloseEvent* event) {
    if (closingDone_ || phase_ == Phase::Idle) {
        event->accept();
        if (modalLoop_ != nullptr) {
            modalLoop_->quit();
        }
        return;
    }
    event->ignore();
    if (phase_ == Phase::Closing) {
        return;
    }
    // A close during the opening shrinks the window from where the opening got to.
    openingTimer_.stop();
    phase_ = Phase::Closing;
    prepareForClosing();
    closingTimer_.start(steps_.closePeriodMs);
}

void BorderlessWindow::showRevealArea(const QRegion& area) {
    revealRegion_ = outline_.isEmpty() ? area : area.intersected(outline_);
    setMask(revealRegion_.isEmpty() ? kNothingVisible : revealRegion_);
}

void BorderlessWindow::beginDrag(QPoint pressPos) {
    dragging_ = true;
    dragStart_ = pressPos;
}

void BorderlessWindow::dragTo(QPoint pos) {
    if (!dragging_) {
        return;
    }
    move(x() + pos.x() - dragStart_.x(), y() + pos.y() - dragStart_.y());
}

void BorderlessWindow::endDrag() {
    dragging_ = false;
}

void BorderlessWindow::dragWith(QWidget* handle) {
    if (dragFilter_ == nullptr) {
        dragFilter_ = new DragHandleFilter(this);
    }
    handle->installEventFilter(dragFilter_);
}

void BorderlessWindow::showModal() {
    setWindowModality(Qt::ApplicationModal);
    show();
    if (!isVisible()) {
        return;
    }
    QPointer<BorderlessWindow> self(this);
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    if (self) {
        modalLoop_ = nullptr;
    }
}

} // namespace zorvan::ui
