#include "tests/support/panel_session.h"

#include "link/device_state.h"
#include "link/worker_threads.h"
#include "settings/keys.h"
#include "settings/settings_path.h"
#include "settings/typed_settings.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace zorvan::testing {

PanelSession::PanelSession(int baud) : line(baud) {
    settings::setSettingsFilePath(settingsPath());
}

PanelSession::~PanelSession() {
    mainForm.reset();
    link::waitForWorkers(std::chrono::seconds(5));
    settings::setSettingsFilePath({});
}

QString PanelSession::settingsPath() const {
    return folder_.filePath(QStringLiteral("zorvan.ini"));
}

panel::TMainFormTestIndZorvan4& PanelSession::start(const SessionSettings& wanted) {
    using namespace settings;
    const std::string port = wanted.portName.empty() ? line.server->path() : wanted.portName;
    writeSetting(kComPort, QString::fromStdString(port));
    writeSetting(kReadTotalTimeoutConstant, wanted.readTimeoutMs);
    writeSetting(kPollPeriod, wanted.pollPeriodMs);
    writeSetting(kDigitalOutAllowed, wanted.digitalOutAllowed);
    for (int d = 0; d < link::kDeviceCount; ++d) {
        writeSetting(kDeviceAddress[d], wanted.addresses[d]);
    }
    link::pollCount = 0;
    link::activeDevice = 0;
    mainForm = std::make_unique<panel::TMainFormTestIndZorvan4>();
    mainForm->show();
    finishOpening(*mainForm);
    waitFor([this] { return !mainForm->portOpening(); });
    return *mainForm;
}

void PanelSession::finishOpening(ui::BorderlessWindow& window) {
    while (window.phase() == ui::BorderlessWindow::Phase::Opening) {
        window.openingTick();
    }
}

bool PanelSession::waitFor(const std::function<bool()>& condition, int boundMs) {
    QDeadlineTimer deadline(boundMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

bool PanelSession::waitForPollCycles(int cycles, int boundMs) {
    const int target = link::pollCount + cycles;
    // A cycle is drawn once its count is reached and the poll timer runs again.
    return waitFor(
        [&] {
            return link::pollCount >= target && !link::pollInProgress &&
                   !mainForm->TimerVisualisationInfoOnInd.isActive() &&
                   mainForm->TimerOprosaPribora.isActive();
        },
        boundMs);
}

} // namespace zorvan::testing
