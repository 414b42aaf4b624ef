#pragma once

// The main window: the front panel of instrument 1 and the owner of everything else. It reads
// the settings, opens the port when its opening animation ends, runs the poll, draws every
// panel after each poll cycle, and creates the windows of instruments 2 to 6.

#include "panel/instrument_panel.h"
#include "panel/instrument_window.h"

#include <QPointer>
#include <QProgressBar>
#include <array>

namespace zorvan::panel {

class TMainFormTestIndZorvan4 final : public InstrumentPanel {
    Q_OBJECT

public:
    explicit TMainFormTestIndZorvan4(QWidget* parent = nullptr);
    ~TMainFormTestIndZorvan4() override;

    // The panel of instrument index d, or null when that window does not exist.
    InstrumentPanel* panelOf(int device) const;
    TfmZorvanNum* instrumentWindow(int device) const { return fmZorvanNum[device]; }

    // Brings the window back from the taskbar to the front: a second copy asks for it.
    void restoreFromSecondCopy();

    // Draws every panel from what the last poll cycle stored, then lets the next cycle start.
    void TimerVisualisationInfoOnIndTimer();

    // The title-bar close of any panel: saves the positions of every panel and closes them.
    void CloseImageClick() override;

    // The picture sets of the two instrument kinds.
    ArtworkSet artwork43;
    ArtworkSet artwork80;

    QProgressBar* ProgressBar1;
    QTimer TimerOprosaPribora;
    QTimer TimerVisualisationInfoOnInd;

protected:
    void prepareForClosing() override;

private:
    void FormCreate();
    void installWorkerReports();
    void openPortAndStartPolling();
    void createInstrumentWindows();
    void TimerOprosaPriboraTimer();
    void refreshPanel(int device, InstrumentPanel& window);
    void showLostConnection(int device, InstrumentPanel& window);
    void showNewAnswer(int device, InstrumentPanel& window);
    void showVersion(int device, InstrumentPanel& window);

    // fmZorvanNum[d] is the window of instrument d + 1 (d = 1..5) while it exists.
    std::array<QPointer<TfmZorvanNum>, 6> fmZorvanNum;
};

// The main window while it exists.
inline QPointer<TMainFormTestIndZorvan4> MainFormTestIndZorvan4;

// The title the single-instance guard and the taskbar see.
QString mainWindowTitle();

} // namespace zorvan::panel
