#include "panel/main_form.h"

#include "link/com_port.h"
#include "link/command_codes.h"
#include "link/device_state.h"
#include "link/worker_threads.h"
#include "link/workers.h"
#include "panel/instrument_window.h"
#include "panel/message_window.h"
#include "panel/panel_state.h"
#include "panel/port_messages.h"
#include "settings/keys.h"
#include "settings/settings_loader.h"
#include "settings/settings_variables.h"
#include "settings/typed_settings.h"
#include "ui/line_job.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <functional>
#include <optional>

namespace zorvan::panel {
namespace {

using namespace std::chrono_literals;

// How long the program waits for workers still on the line before it closes the port.
constexpr auto kWorkerExitBound = 3s;
// The poll period the program writes back when it runs with it.
constexpr int kStandardPollPeriod = 1000;

// Calls `onDoubleClick` for a double click on the watched picture inside `area`: the indicator
// positions let the mouse through to the front picture under them.
class DoubleClickFilter final : public QObject {
public:
    DoubleClickFilter(QObject* parent, std::function<bool(QPoint)> inArea,
                      std::function<void()> onDoubleClick)
        : QObject(parent), inArea_(std::move(inArea)), onDoubleClick_(std::move(onDoubleClick)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonDblClick &&
            inArea_(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            onDoubleClick_();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(QPoint)> inArea_;
    std::function<void()> onDoubleClick_;
};

} // namespace

TMainFormTestIndZorvan4::TMainFormTestIndZorvan4(QWidget* parent)
    : InstrumentPanel(0, parent), artwork43(artworkSetOf(resources::PanelKind::Kind43)),
      artwork80(artworkSetOf(resources::PanelKind::Kind80)), ProgressBar1(new QProgressBar(this)) {
    MainFormTestIndZorvan4 = this;
    FormCreate();
    // After FormCreate, so that these reactions to a poll cycle follow the cycle's drawing.
    connect(&TimerVisualisationInfoOnInd, &QTimer::timeout, this, [this] {
        if (heldMessage_) {
            showHeldMessage();
        }
    });
    MainPopupMenu = new MainMenu(*this);
}

TMainFormTestIndZorvan4::~TMainFormTestIndZorvan4() {
    TimerOprosaPribora.stop();
    // Workers still running report to this window; what they post after it is gone is dropped.
    link::waitForWorkers(kWorkerExitBound);
    link::setWorkerReports({});
    link::CloseComPort();
}

void TMainFormTestIndZorvan4::FormCreate() {
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setGeometry(0, height() - 16, width(), 16);
    ProgressBar1->hide();

    settings::loadAllSettings();
    loadWindowPositions();
    TimerOprosaPribora.setInterval(settings::pollPeriodMs);
    laZorvanVersiya->clear();
    link::resetRunTimeState();
    for (int device = 0; device < link::kDeviceCount; ++device) {
        forgetShownState(device);
    }

    connect(&TimerOprosaPribora, &QTimer::timeout, this, [this] { TimerOprosaPriboraTimer(); });
    TimerVisualisationInfoOnInd.setInterval(1);
    connect(&TimerVisualisationInfoOnInd, &QTimer::timeout, this,
            [this] { TimerVisualisationInfoOnIndTimer(); });
    connect(this, &ui::BorderlessWindow::opened, this, [this] { openPortAndStartPolling(); });
    installWorkerReports();
    const auto onIndicator = [this](QPoint atPicture) {
        const QPoint atWindow = MainImage->mapTo(this, atPicture);
        for (int i = 0; i < 6; ++i) {
            if (indicatorPosition(i)->geometry().contains(atWindow)) {
                return true;
            }
        }
        return false;
    };
    MainImage->installEventFilter(
        new DoubleClickFilter(this, onIndicator, [this] { PanelInd1DblClick(); }));
}

// Workers report on their own threads; each report is carried over to this window's thread
// and dropped if the window is gone by then.
void TMainFormTestIndZorvan4::installWorkerReports() {
    link::WorkerReports reports;
    reports.pollFinished = [this] {
        QMetaObject::invokeMethod(
            this, [this] { TimerVisualisationInfoOnInd.start(); }, Qt::QueuedConnection);
    };
    // Starts the named timer of the panel of `device`, if that panel still exists.
    const auto startPanelTimer = [this](QTimer InstrumentPanel::*timer) {
        return [this, timer](std::uint32_t device) {
            QMetaObject::invokeMethod(
                this,
                [this, timer, device] {
                    if (InstrumentPanel* panel = panelOf(static_cast<int>(device))) {
                        (panel->*timer).start();
                    }
                },
                Qt::QueuedConnection);
        };
    };
    reports.keyPressFinished = startPanelTimer(&InstrumentPanel::TimerViewPressKeys);
    reports.digitalOutFinished = startPanelTimer(&InstrumentPanel::TimerViewPressDigitalOut);
    reports.commandFinished = [this](std::uint32_t device, std::int32_t code,
                                     std::int32_t parameter, bool acknowledged) {
        QMetaObject::invokeMethod(
            this,
            [=, this] {
                InstrumentPanel* panel = panelOf(static_cast<int>(device));
                if (!panel) {
                    return;
                }
                const bool lockCommand =
                    code == link::kServiceCode &&
                    (parameter == link::kLockKeyboard || parameter == link::kUnlockKeyboard);
                if (lockCommand) {
                    panel->confirmKeyboardLock(acknowledged);
                } else {
                    panel->CheckBoxBlockKeyboard->setEnabled(true);
                }
            },
            Qt::QueuedConnection);
    };
    link::setWorkerReports(std::move(reports));
}

InstrumentPanel* TMainFormTestIndZorvan4::panelOf(int device) const {
    if (device == 0) {
        return const_cast<TMainFormTestIndZorvan4*>(this);
    }
    return device < link::kDeviceCount ? fmZorvanNum[device].data() : nullptr;
}

// The port opens on a worker: a network port's connect may take seconds, which the windows must
// not wait for.
void TMainFormTestIndZorvan4::openPortAndStartPolling() {
    struct Opening {
        bool opened = false;
        std::optional<link::PortFailure> failure;
    };
    const auto open = [] {
        Opening opening;
        opening.opened = link::OpenComPort(
            link::readTotalTimeoutConstant,
            [&opening](const link::PortFailure& failure) { opening.failure = failure; });
        return opening;
    };
    const auto startPolling = [this](std::optional<Opening> opening) {
        portOpening_ = false;
        if (opening && opening->failure) {
            const PortMessage message = portMessage(*opening->failure);
            showIndicatorMessage(message.text, message.fontSize, message.top, message.height);
        }
        if (opening && opening->opened) {
            link::StartCommand(link::deviceAddress[0], link::kServiceCode, link::kUnlockKeyboard);
            if (link::digitalOutAllowed) {
                link::StartDigitalOut(link::kOutputOff);
            }
            TimerOprosaPribora.start();
        } else {
            stIndSoobsch->show();
        }
        createInstrumentWindows();
        raise();
        activateWindow();
    };
    portOpening_ = true;
    if (!ui::startLineJob<Opening>(this, open, startPolling)) {
        startPolling(open());
    }
}

void TMainFormTestIndZorvan4::createInstrumentWindows() {
    for (int device = 1; device < link::kDeviceCount; ++device) {
        if (link::deviceAddress[device] != 0) {
            openInstrumentWindow(device);
        }
    }
}

void TMainFormTestIndZorvan4::openInstrumentWindow(int device) {
    if (!fmZorvanNum[device]) {
        auto* window = new TfmZorvanNum(device + 1);
        window->setAttribute(Qt::WA_DeleteOnClose);
        fmZorvanNum[device] = window;
        window->show();
    }
}

// The window runs its closing animation on its own; it is no longer drawn meanwhile, and a new
// window for the same instrument may open at once.
void TMainFormTestIndZorvan4::closeInstrumentWindow(int device) {
    if (TfmZorvanNum* window = fmZorvanNum[device]) {
        fmZorvanNum[device] = nullptr;
        window->close();
    }
}

void TMainFormTestIndZorvan4::suspendPolling() {
    pollingSuspended_ = true;
    TimerOprosaPribora.stop();
}

void TMainFormTestIndZorvan4::resumePolling() {
    pollingSuspended_ = false;
    heldMessage_.reset();
    // A window that gives the line back while the program ends finds the poll over for good.
    if (phase() == Phase::Closing || phase() == Phase::Closed) {
        return;
    }
    // A port whose device went away is still polled: each turn tries to open it again.
    if (link::comPortOpen() || link::comPortLost()) {
        TimerOprosaPribora.start();
    }
}

void TMainFormTestIndZorvan4::hidePanels() {
    hide();
    setEnabled(false);
    for (int device = 1; device < link::kDeviceCount; ++device) {
        if (link::deviceAddress[device] != 0 && fmZorvanNum[device]) {
            fmZorvanNum[device]->hide();
        }
    }
}

void TMainFormTestIndZorvan4::showPanels() {
    setEnabled(true);
    show();
    for (int device = 1; device < link::kDeviceCount; ++device) {
        if (link::deviceAddress[device] != 0 && fmZorvanNum[device] &&
            fmZorvanNum[device]->isHidden()) {
            fmZorvanNum[device]->show();
        }
    }
}

void TMainFormTestIndZorvan4::holdIndicatorMessage(const link::PortFailure& failure) {
    const PortMessage message = portMessage(failure);
    holdIndicatorMessage(message.text, message.fontSize, message.top, message.height);
}

void TMainFormTestIndZorvan4::hideIndicatorMessage() {
    stIndSoobsch->hide();
}

void TMainFormTestIndZorvan4::reportNoAnswer() {
    TFormMessage::showMessageWindow(this);
}

void TMainFormTestIndZorvan4::PanelInd1DblClick() {
    MainPopupMenu->NGraphicClick();
}

void TMainFormTestIndZorvan4::holdIndicatorMessage(const QString& text, int fontSize, int top,
                                                   int height) {
    heldMessage_ = HeldMessage{text, fontSize, top, height};
    showHeldMessage();
}

void TMainFormTestIndZorvan4::showHeldMessage() {
    for (int i = 0; i < 6; ++i) {
        IndicatorPositionWidget* position = indicatorPosition(i);
        if (!position->text().isEmpty()) {
            position->clear();
        }
        if (position->pointVisible()) {
            position->setPointVisible(false);
        }
        position->repaint();
    }
    showIndicatorMessage(heldMessage_->text, heldMessage_->fontSize, heldMessage_->top,
                         heldMessage_->height);
    stIndSoobsch->repaint();
}

void TMainFormTestIndZorvan4::MainImageContextMenu(QPoint globalPos) {
    MainPopupMenu->popup(globalPos);
}

void TMainFormTestIndZorvan4::ButtonPustoKeyDown(QKeyEvent* event) {
    if (serviceSequence.keyDown(*event)) {
        MainPopupMenu->toggleServiceItems();
    }
}

void TMainFormTestIndZorvan4::TimerOprosaPriboraTimer() {
    if (pollingSuspended_) {
        TimerOprosaPribora.stop();
        return;
    }
    if (link::graphWindowOpen) {
        TimerOprosaPribora.stop();
    } else if (link::pollMayStart()) {
        TimerOprosaPribora.stop();
        if (!link::StartPoll()) {
            TimerOprosaPribora.start();
        }
    }
}

void TMainFormTestIndZorvan4::CloseImageClick() {
    settings::writeSetting(settings::kWindowLeft[0], x());
    settings::writeSetting(settings::kWindowTop[0], y());
    for (int device = 1; device < link::kDeviceCount; ++device) {
        if (link::deviceAddress[device] != 0 && fmZorvanNum[device]) {
            settings::writeSetting(settings::kWindowLeft[device], fmZorvanNum[device]->x());
            settings::writeSetting(settings::kWindowTop[device], fmZorvanNum[device]->y());
            fmZorvanNum[device]->close();
        }
    }
    close();
}

void TMainFormTestIndZorvan4::prepareForClosing() {
    TimerOprosaPribora.stop();
    // The poll's read in flight and the unlock's acknowledgement are not waited for: a silent
    // instrument would otherwise keep the process for its read time-outs after the window is gone.
    link::AbandonReads();
    if (link::comPortOpen()) {
        // The destructor closes the port after this unlock has left the line.
        link::StartCommand(link::deviceAddress[0], link::kServiceCode, link::kUnlockKeyboard);
    }
    if (TimerOprosaPribora.interval() == kStandardPollPeriod) {
        settings::writeSetting(settings::kPollPeriod, kStandardPollPeriod);
    }
    connect(this, &ui::BorderlessWindow::closingFinished, qApp, &QCoreApplication::quit,
            Qt::QueuedConnection);
}

void TMainFormTestIndZorvan4::restoreFromSecondCopy() {
    restorePanels();
    raise();
    activateWindow();
}

} // namespace zorvan::panel
