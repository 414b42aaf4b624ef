#pragma once

#include "resources/artwork.h"

#include <QPixmap>
#include <QWidget>

namespace zorvan::ui {

// A title-bar picture button: normal picture, a lighter one while the mouse is over
// it, a pressed one while a mouse button is held on it.
class TitleBarButton : public QWidget {
    Q_OBJECT

public:
    enum class State { Normal, Hover, Pressed };

    // The program's own minimize or close pictures.
    explicit TitleBarButton(resources::TitleButton button, QWidget* parent = nullptr);

    State state() const { return state_; }
    void setState(State state);

    // Rendered at the pixel ratio of the screen the window is on.
    QPixmap picture(State state) const;
    QPixmap currentPicture() const { return picture(state_); }

Q_SIGNALS:
    // Left button released over the button.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    resources::TitleButton button_;
    State state_ = State::Normal;
};

} // namespace zorvan::ui
