#pragma once

#include "app/window_launchers.h"
#include "graphs/graph_window.h"
#include "graphs/recording_file.h"
#include "link/device_state.h"
#include "link/worker_threads.h"
#include "tests/support/panel_session.h"

#include <QAction>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zorvan::graphs {

// What a graph test may leave behind: an open window and the settings it changed, which the next
// test must not inherit, and a recording still finishing while the process exits.
inline void closeLeftOverGraph() {
    delete FormGraphic.data();
    link::graphWindowOpen = false;
    link::graphReadBusy = false;
    EXPECT_TRUE(waitForFinishingRecordings(std::chrono::seconds(10)));
}

// Instrument 1 of `kind` (and instrument 2 of the 8.0 kind at address 11 when `second`), the
// poll running fast and the menu able to open the graph windows.
inline panel::TMainFormTestIndZorvan4& startGraphSession(testing::PanelSession& session,
                                                         std::uint8_t kind, bool second,
                                                         const sim::Faults& faults = {},
                                                         const std::string& portName = {}) {
    constexpr std::uint8_t kFirstAddress = 10;
    constexpr std::uint8_t kSecondAddress = 11;
    session.line.add(kFirstAddress, {10, kind, 5, 7}).setFaults(faults);
    testing::SessionSettings wanted;
    wanted.pollPeriodMs = 30;
    wanted.readTimeoutMs = 60;
    wanted.portName = portName;
    if (second) {
        session.line.add(kSecondAddress, {10, 80, 1, 2});
        wanted.addresses[1] = kSecondAddress;
    }
    auto& main = session.start(wanted);
    app::installWindowLaunchers(main);
    session.waitForPollCycles(1);
    return main;
}

// A graph window over a simulated bus, opened from the menu, with a folder for its files.
class GraphTest : public ::testing::Test {
protected:
    panel::TMainFormTestIndZorvan4& start(std::uint8_t kind, bool second = false) {
        return startGraphSession(session, kind, second);
    }

    static TFormGraphic& open(QAction* item) {
        item->trigger();
        EXPECT_TRUE(FormGraphic);
        EXPECT_TRUE(testing::PanelSession::waitFor(
            [] { return FormGraphic->BitBtnPuskStop->isEnabled(); }));
        return *FormGraphic;
    }

    // Starts the graph and takes its read timer away: the test hands in the readings.
    static void startFed(TFormGraphic& window) {
        window.BitBtnPuskStop->click();
        ASSERT_TRUE(testing::PanelSession::waitFor([&] { return window.running(); }));
        window.TimerGraphic.stop();
        ASSERT_TRUE(testing::PanelSession::waitFor([] { return !link::graphReadBusy; }));
    }

    static void waitForSaves() {
        ASSERT_TRUE(testing::PanelSession::waitFor([] { return link::runningWorkers() == 0; }));
        ASSERT_TRUE(waitForFinishingRecordings(std::chrono::seconds(10)));
    }

    static void exit(TFormGraphic& window) {
        if (window.running()) {
            window.BitBtnPuskStop->click();
        }
        waitForSaves();
        window.BitBtnCloseGraphic->click();
        EXPECT_TRUE(testing::PanelSession::waitFor([] { return !FormGraphic; }));
    }

    // A test that failed half-way leaves no window behind for the next one.
    void TearDown() override { closeLeftOverGraph(); }

    testing::PanelSession session;
    QTemporaryDir files;
};

} // namespace zorvan::graphs
