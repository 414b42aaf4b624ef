#pragma once

// The virtual front panel of one instrument: the front picture with its keys, the six
// indicator positions, the lamps, the version label, the keyboard-lock box and the message
// label over the indicator. The main window (instrument 1) and the windows of instruments 2 to
// 6 are both panels; what differs is in their own classes.

#include "panel/indicator_position_widget.h"
#include "resources/artwork.h"
#include "ui/artwork_view.h"
#include "ui/borderless_window.h"
#include "ui/title_bar_button.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <cstdint>
#include <vector>

namespace zorvan::panel {

// The pictures that change with the instrument's kind: the front and the four pressed keys.
struct ArtworkSet {
    resources::Artwork front;
    std::array<resources::Artwork, 4> keys;
};

ArtworkSet artworkSetOf(resources::PanelKind kind);

// Every panel window is titled with the application's display name and follows it.
class InstrumentPanel : public ui::BorderlessWindow {
    Q_OBJECT

public:
    static constexpr int kWidth = 278;
    static constexpr int kHeight = 227;

    // `device` is the instrument index: 0 for instrument 1, up to 5 for instrument 6.
    explicit InstrumentPanel(int device, QWidget* parent = nullptr);

    int device() const { return device_; }

    // Replaces the message label's text, font size and geometry and shows it.
    void showIndicatorMessage(const QString& text, int fontSize, int top, int height);
    void showConnectionError();
    void showArtwork(const ArtworkSet& set);
    // The position of indicator code i: 0 is the leftmost (Panel6Ind1), 5 the rightmost.
    IndicatorPositionWidget* indicatorPosition(int i) const { return positions_[i]; }
    // A lock or unlock command of this window's box came back.
    void confirmKeyboardLock(bool acknowledged);

    // Components, named as in the panel's design.
    ui::ArtworkView* MainImage;
    ui::ArtworkView* imKlavishaT;
    ui::ArtworkView* imKlavisha_0_;
    ui::ArtworkView* imKlavishaF1;
    ui::ArtworkView* imKlavishaF2;
    ui::TitleBarButton* MinimizeImage;
    ui::TitleBarButton* CloseImage;
    QLabel* laZorvanVersiya;
    ui::ArtworkView* imTare;
    ui::ArtworkView* imZero;
    ui::ArtworkView* imStab;
    ui::ArtworkView* imData;
    QLabel* stIndSoobsch;
    QCheckBox* CheckBoxBlockKeyboard;
    QPushButton* ButtonPusto;
    QTimer TimerViewPressKeys;
    QTimer TimerViewPressDigitalOut;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

    // The title-bar close: saves every panel's position and ends the program.
    virtual void CloseImageClick() = 0;
    // The right mouse button on the front picture: the window's popup menu.
    virtual void MainImageContextMenu(QPoint /*globalPos*/) {}
    // A key typed into the window, whose focus rests on ButtonPusto: the service sequence.
    virtual void ButtonPustoKeyDown(QKeyEvent* /*event*/) {}

private:
    void MainImageMouseDown(QMouseEvent* event);
    void MainImageMouseMove(QMouseEvent* event);
    void MainImageMouseUp(QMouseEvent* event);
    void imDataMouseDown();
    void TimerViewPressKeysTimer();
    void TimerViewPressDigitalOutTimer();
    void CheckBoxBlockKeyboardClick();
    void MinimizeImageClick();
    void FormShow();
    void FormActivate();
    void FormDeactivate();

    bool outputActive() const;
    void highlightVersion(bool on);
    std::array<ui::ArtworkView*, 4> pressedKeys() const;

    const int device_;
    std::array<IndicatorPositionWidget*, 6> positions_{};
};

// The panels are one application to the user: the minimise picture of any of them takes every
// visible panel to the taskbar, and a restore brings them all back.
void minimizePanels();
void restorePanels();
// The panel windows on screen, minimised ones included, closing ones not.
std::vector<InstrumentPanel*> visiblePanels();

} // namespace zorvan::panel
