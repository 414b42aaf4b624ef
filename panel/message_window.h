#pragma once

#include "ui/borderless_window.h"

class QLabel;
class QPushButton;

namespace zorvan::panel {

// The small dark-red notice "Ошибка связи с прибором !" with an "OK" button. It grows out of
// its top-left corner as a quarter ellipse, a third of the way down its owner, and shrinks
// back into that corner when closed.
class TFormMessage : public ui::BorderlessWindow {
    Q_OBJECT

public:
    // The owner is the main window: the notice opens over it and stays above it.
    explicit TFormMessage(QWidget* owner = nullptr);

    // Creates the notice, shows it modally until the user has closed it and its closing
    // animation has run, and destroys it.
    static void showMessageWindow(QWidget* owner);

    QWidget* paMessage;
    QLabel* laMessage;
    QPushButton* BitBtnOK;
    QPushButton* ButtonPusto;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void BitBtnOKClick();
    void placeOverOwner();
};

} // namespace zorvan::panel
