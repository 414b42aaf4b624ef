#pragma once

// Base of the graph and sweep windows: a window with the system's caption that can be maximised
// and minimised but not closed from its frame. It opens centred across the screen and a third of
// the way down, growing out of its centre; Alt+F4 and the system's close are refused, so the
// window's own exit button is the only way out.

#include <QWidget>

namespace zorvan::ui {

class CaptionedWindow : public QWidget {
    Q_OBJECT

public:
    CaptionedWindow();

    // A double click on the window's chart: maximised, or back to normal.
    void toggleMaximized();

protected:
    // The widget that holds the focus when the window opens, so no control shows a focus frame.
    virtual QWidget* focusHolder() = 0;
    // Asked for every close; true lets it go through.
    virtual bool mayClose() = 0;

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool shownOnce_ = false;
};

} // namespace zorvan::ui
