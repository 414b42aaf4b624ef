// The main window over its life: closing, titles, minimising, the version label and long
// messages on the indicator.
#include "link/device_state.h"
#include "tests/support/panel_session.h"
#include "ui/application_title.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace zorvan::panel {
namespace {

using testing::PanelSession;
using testing::SessionSettings;

constexpr std::uint8_t kFirst = 10;
constexpr std::uint8_t kSecond = 11;

// Instruments 1 and 2 configured, the port missing: nothing is polled.
SessionSettings twoPanelsWithoutPort() {
    SessionSettings wanted;
    wanted.addresses = {kFirst, kSecond, 0, 0, 0, 0};
    wanted.portName = "ttyNoSuchPort7";
    return wanted;
}

// With a silent instrument every read waits out its time-out; the close once waited for the
// exchange on the line (3.8 s) before it started the closing animation.
TEST(MainWindowLifecycle, CloseDuringAnUnansweredCycleDoesNotWaitForTheLine) {
    PanelSession session;
    sim::Faults silent;
    silent.silent = true;
    session.line.add(kFirst, {10, 43, 5, 7}).setFaults(silent);
    auto& main = session.start();
    ASSERT_TRUE(PanelSession::waitFor([] { return link::pollInProgress.load(); }));
    QTest::qWait(300);

    QElapsedTimer closing;
    closing.start();
    main.close();
    EXPECT_LT(closing.elapsed(), 1000);
    EXPECT_EQ(main.phase(), ui::BorderlessWindow::Phase::Closing);
}

TEST(MainWindowLifecycle, EveryPanelIsTitledWithTheApplicationAndFollowsIt) {
    ui::ApplicationTitle::instance().setText(QStringLiteral("Zorvan 4X, 8X"));
    PanelSession session;
    session.line.add(kFirst, {10, 43, 5, 7});
    session.line.add(kSecond, {10, 80, 1, 2});
    SessionSettings wanted;
    wanted.addresses = {kFirst, kSecond, 0, 0, 0, 0};
    wanted.pollPeriodMs = 30;
    auto& main = session.start(wanted);
    ASSERT_NE(main.instrumentWindow(1), nullptr);
    EXPECT_EQ(main.windowTitle(), "Zorvan 4X, 8X");

    ASSERT_TRUE(session.waitForPollCycles(1));
    EXPECT_EQ(ui::applicationTitle(), "Zorvan 43");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName())
        << "Qt's display name stays unset: Qt would append it to every other window's title";
    EXPECT_EQ(main.windowTitle(), "Zorvan 43");
    EXPECT_EQ(main.instrumentWindow(1)->windowTitle(), "Zorvan 43") << "named by instrument 1";
}

TEST(MainWindowLifecycle, MinimiseTakesEveryPanelAwayAndARestoreBringsThemAllBack) {
    PanelSession session;
    auto& main = session.start(twoPanelsWithoutPort());
    TfmZorvanNum* second = main.instrumentWindow(1);
    ASSERT_NE(second, nullptr);
    PanelSession::finishOpening(*second);

    QTest::mouseClick(second->MinimizeImage, Qt::LeftButton);
    EXPECT_TRUE(second->isMinimized());
    EXPECT_TRUE(main.isMinimized());

    main.restoreFromSecondCopy();
    EXPECT_FALSE(second->isMinimized());
    EXPECT_FALSE(main.isMinimized());
}

TEST(MainWindowLifecycle, VersionOfAllZeroesEmptiesTheLabelAsBeforeAnyAnswer) {
    PanelSession session;
    auto& main = session.start(twoPanelsWithoutPort());
    const auto answer = [](std::array<std::uint8_t, 4> bytes) {
        link::versionByte0[0] = bytes[0];
        link::versionByte1[0] = bytes[1];
        link::versionByte2[0] = bytes[2];
        link::versionByte3[0] = bytes[3];
    };

    answer({10, 43, 5, 7});
    main.TimerVisualisationInfoOnIndTimer();
    EXPECT_EQ(main.laZorvanVersiya->text(), "10v430507");
    answer({0, 0, 0, 0});
    main.TimerVisualisationInfoOnIndTimer();
    EXPECT_EQ(main.laZorvanVersiya->text(), "");
}

TEST(MainWindowLifecycle, LongPortNameIsCutToTheMessageLabel) {
    PanelSession session;
    SessionSettings wanted;
    wanted.portName = "tty" + std::string(5000, 'x');
    auto& main = session.start(wanted);

    const QLabel& message = *main.stIndSoobsch;
    ASSERT_TRUE(message.isVisible());
    const QStringList lines = message.text().split(u'\n');
    for (const QString& line : lines) {
        EXPECT_LE(message.fontMetrics().horizontalAdvance(line), message.width())
            << line.left(40).toStdString();
    }
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("Не могу открыть \"tty")))
        << lines.first().toStdString();
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral("x\",")));
    EXPECT_EQ(lines.last(), QStringLiteral("Опрос не осуществляется."));
}

} // namespace
} // namespace zorvan::panel
