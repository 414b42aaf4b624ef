#include "app/orderly_end.h"

#include "graphs/open_windows_end.h"
#include "panel/main_form.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <chrono>

namespace zorvan::app {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Bounds the graph and sweep windows' own leave-taking (the sweep writes the set value back), so
// that the panels' closing still ends the program in time when the instrument does not answer.
constexpr auto kLeaveBound = 700ms;
constexpr int kLookAgainMs = 10;

using MainWindow = QPointer<panel::TMainFormTestIndZorvan4>;

bool ending = false;

// Cancels the innermost modal window; false when there is none.
bool cancelInnermostModal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
        return false;
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
    return true;
}

void closePanels(const MainWindow& mainWindow) {
    if (mainWindow) {
        mainWindow->CloseImageClick();
    } else {
        QCoreApplication::quit();
    }
}

void awaitWindowsClosed(const MainWindow& mainWindow, Clock::time_point deadline) {
    if (graphs::windowsStillOpen() && Clock::now() < deadline) {
        QTimer::singleShot(kLookAgainMs, [=] { awaitWindowsClosed(mainWindow, deadline); });
        return;
    }
    closePanels(mainWindow);
}

// A modal window runs an event loop of its own inside a handler of the window under it: it is
// cancelled first, and that handler is let finish before the window under it takes its leave.
void endWindows(const MainWindow& mainWindow, Clock::time_point deadline) {
    if (cancelInnermostModal() && Clock::now() < deadline) {
        QTimer::singleShot(kLookAgainMs, [=] { endWindows(mainWindow, deadline); });
        return;
    }
    graphs::endOpenWindows();
    awaitWindowsClosed(mainWindow, deadline);
}

} // namespace

void endProgramInOrder(const MainWindow& mainWindow) {
    if (ending) {
        return;
    }
    ending = true;
    endWindows(mainWindow, Clock::now() + kLeaveBound);
}

} // namespace zorvan::app
