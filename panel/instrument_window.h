#pragma once

// The front panel of one of instruments 2 to 6. The main window polls and draws it; the window
// itself handles its keys, its keyboard lock and its output switch for its own instrument.

#include "panel/instrument_panel.h"
#include "panel/main_menu.h"
#include "panel/service_sequence.h"

namespace zorvan::panel {

class TfmZorvanNum final : public InstrumentPanel {
    Q_OBJECT

public:
    // n is the instrument number, 2 to 6.
    explicit TfmZorvanNum(int n, QWidget* parent = nullptr);

    QLabel* laNumPribor;
    // Only "Настройки": the rest of the menu stays with the main window.
    InstrumentMenu* MainPopupMenu;

protected:
    void CloseImageClick() override;
    void MainImageContextMenu(QPoint globalPos) override;
    // The service sequence typed here acts on the main window's menu.
    void ButtonPustoKeyDown(QKeyEvent* event) override;

private:
    ServiceSequence serviceSequence;
};

} // namespace zorvan::panel
