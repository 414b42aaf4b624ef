#pragma once

// The front panel of one of instruments 2 to 6. The main window polls and draws it; the window
// itself handles its keys, its keyboard lock and its output switch for its own instrument.

#include "panel/instrument_panel.h"

namespace zorvan::panel {

class TfmZorvanNum final : public InstrumentPanel {
    Q_OBJECT

public:
    // n is the instrument number, 2 to 6.
    explicit TfmZorvanNum(int n, QWidget* parent = nullptr);

    QLabel* laNumPribor;

protected:
    void CloseImageClick() override;
};

} // namespace zorvan::panel
