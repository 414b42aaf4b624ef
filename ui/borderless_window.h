#pragma once

#include "ui/reveal.h"

#include <QPoint>
#include <QRegion>
#include <QTimer>
#include <QWidget>

class QEventLoop;

namespace zorvan::ui {

// Base of every window of the program: no system frame, a rounded outline, an opening
// and a closing animation that reveal the window through a growing or shrinking shape,
// and moving by dragging.
//
// Closing: the first close request (from the program or the system) is refused and
// starts the closing animation; when it has run down the window closes itself and the
// close goes through. Further requests while it runs change nothing.
class BorderlessWindow : public QWidget {
    Q_OBJECT

public:
    enum class Phase { Idle, Opening, Open, Closing, Closed };

    explicit BorderlessWindow(QWidget* parent = nullptr);

    // The window's outline; every reveal area is cut to it.
    void setOutline(const QRegion& outline);
    const QRegion& outline() const { return outline_; }

    // Shows the initial area and starts the opening animation; the window must have
    // its final size by then, as the shapes are centred on it.
    void startReveal(const RevealSteps& steps);

    // One step of each animation, as the timers run them.
    void openingTick();
    void closingTick();

    Phase phase() const { return phase_; }
    int revealExtent() const { return extent_; }
    // The visible area now; empty before anything shows.
    const QRegion& revealRegion() const { return revealRegion_; }
    bool closingDone() const { return closingDone_; }

    // Dragging: positions are taken in any widget that moves with the window, and the
    // window moves so that the grabbed point follows the mouse.
    void beginDrag(QPoint pressPos);
    void dragTo(QPoint pos);
    void endDrag();
    bool isDragging() const { return dragging_; }
    // Lets a left-button drag on handle move the window.
    void dragWith(QWidget* handle);

    // Shows the window application-modal and returns once it has closed.
    void showModal();

Q_SIGNALS:
    void opened();
    void closingFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

    // Called once, on the first close request, just before the closing animation
    // starts: the window's own leave-taking (saving settings, releasing the line).
    virtual void prepareForClosing() {}

private:
    void showRevealArea(const QRegion& area);

    QRegion outline_;
    QRegion revealRegion_;
    RevealSteps steps_;
    Phase phase_ = Phase::Idle;
    int extent_ = 0;
    bool closingDone_ = false;
    QTimer openingTimer_;
    QTimer closingTimer_;

    bool dragging_ = false;
    QPoint dragStart_;

    QObject* dragFilter_ = nullptr;
    QEventLoop* modalLoop_ = nullptr;
};

} // namespace zorvan::ui
