#pragma once

// The fixture of the window tests that stand on a polling main window: a fresh simulated bus, a
// settings file of its own, a quick poll, and a working folder of its own (the FLASH data file
// is looked for there). It also reads the recorded traffic the way these tests ask about it.

#include "link/worker_threads.h"
#include "tests/support/panel_session.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace zorvan::testing {

class PanelTest : public ::testing::Test {
protected:
    using Frame = std::vector<std::uint8_t>;

    void SetUp() override {
        previousFolder_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(folder_.path()));
    }
    void TearDown() override { QDir::setCurrent(previousFolder_); }

    // Starts the main window with a 20 ms poll and a 60 ms read time-out.
    panel::TMainFormTestIndZorvan4& start(SessionSettings wanted = {}) {
        wanted.pollPeriodMs = 20;
        wanted.readTimeoutMs = 60;
        return session.start(wanted);
    }

    // Waits until the recorded traffic holds the frames one right after the other.
    bool waitForSequence(const std::vector<Frame>& wanted) {
        return PanelSession::waitFor([&] {
            const auto frames = session.line.frames();
            return std::search(frames.begin(), frames.end(), wanted.begin(), wanted.end()) !=
                   frames.end();
        });
    }

    int countOf(const Frame& frame) const {
        const auto frames = session.line.frames();
        return static_cast<int>(std::count(frames.begin(), frames.end(), frame));
    }

    // Lets one cycle be drawn, then keeps the poll off the line and forgets the traffic.
    void stopPolling(panel::TMainFormTestIndZorvan4& window) {
        ASSERT_TRUE(session.waitForPollCycles(1));
        window.TimerOprosaPribora.stop();
        ASSERT_TRUE(link::waitForWorkers(std::chrono::seconds(5)));
        session.line.server->clearTraffic();
    }

    static void click(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(widget, button, {}, at);
    }

    PanelSession session;

private:
    QTemporaryDir folder_;
    QString previousFolder_;
};

} // namespace zorvan::testing
