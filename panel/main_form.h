#pragma once

// The main window: the front panel of instrument 1 and the owner of everything else. It reads
// the settings, opens the port when its opening animation ends, runs the poll, draws every
// panel after each poll cycle, and creates the windows of instruments 2 to 6.

#include "panel/instrument_panel.h"
#include "panel/instrument_window.h"
#include "panel/main_menu.h"
#include "panel/service_sequence.h"
#include "ui/window_host.h"

#include <QPointer>
#include <QProgressBar>
#include <array>
#include <optional>

namespace zorvan::panel {

class TMainFormTestIndZorvan4 final : public InstrumentPanel, public ui::WindowHost {
    Q_OBJECT

public:
    explicit TMainFormTestIndZorvan4(QWidget* parent = nullptr);
    ~TMainFormTestIndZorvan4() override;

    // The panel of instrument index d, or null when that window does not exist.
    InstrumentPanel* panelOf(int device) const;
    TfmZorvanNum* instrumentWindow(int device) const { return fmZorvanNum[device]; }

    // The port is being opened after the opening animation; the poll and the instrument windows
    // come once it is done.
    bool portOpening() const { return portOpening_; }

    // Brings the panels back from the taskbar, this one to the front: a second copy asks for it.
    void restoreFromSecondCopy();

    // Draws every panel from what the last poll cycle stored, then lets the next cycle start.
    void TimerVisualisationInfoOnIndTimer();

    // The title-bar close of any panel: saves the positions of every panel and closes them.
    void CloseImageClick() override;

    // The host of the windows opened from here. Suspending the poll keeps it off even when a
    // cycle still under way is drawn and asks for the next; resuming lets go of a held message.
    void suspendPolling() override;
    void resumePolling() override;
    void hidePanels() override;
    void showPanels() override;
    void openInstrumentWindow(int device) override;
    void closeInstrumentWindow(int device) override;
    void holdIndicatorMessage(const link::PortFailure& failure) override;
    void hideIndicatorMessage() override;
    void reportNoAnswer() override;
    QWidget* ownerWindow() override { return this; }

    // Shows a message over the emptied indicator and keeps it there while the poll is
    // suspended, also when a cycle that was under way is drawn after it.
    void holdIndicatorMessage(const QString& text, int fontSize, int top, int height);

    // A double click on any indicator position opens the dynamic graph.
    void PanelInd1DblClick();

    // The picture sets of the two instrument kinds.
    ArtworkSet artwork43;
    ArtworkSet artwork80;

    QProgressBar* ProgressBar1;
    QTimer TimerOprosaPribora;
    QTimer TimerVisualisationInfoOnInd;
    MainMenu* MainPopupMenu = nullptr;

protected:
    void prepareForClosing() override;
    void MainImageContextMenu(QPoint globalPos) override;
    void ButtonPustoKeyDown(QKeyEvent* event) override;

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
    ServiceSequence serviceSequence;
    bool pollingSuspended_ = false;
    bool portOpening_ = false;
    struct HeldMessage {
        QString text;
        int fontSize;
        int top;
        int height;
    };
    std::optional<HeldMessage> heldMessage_;
    void showHeldMessage();
};

// The main window while it exists.
inline QPointer<TMainFormTestIndZorvan4> MainFormTestIndZorvan4;

} // namespace zorvan::panel
