// The front panels against simulated instruments: what goes on the line for each user action,
// and what each panel shows for what the instruments answer.
#include "link/device_state.h"
#include "link/worker_threads.h"
#include "settings/keys.h"
#include "settings/typed_settings.h"
#include "tests/support/panel_test.h"
#include "ui/application_title.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace zorvan::panel {
namespace {

using testing::PanelSession;
using testing::request;

constexpr std::uint8_t kFirst = 10;

using FrontPanel = testing::PanelTest;

TEST_F(FrontPanel, StartUnlocksTheKeyboardThenPolls) {
    session.line.add(kFirst, {10, 43, 5, 7});
    auto& window = start();
    ASSERT_TRUE(session.waitForPollCycles(2));
    const auto frames = session.line.frames();
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ(frames[0], request(kFirst, 255, 17));
    EXPECT_EQ(frames[1], request(0x80 | kFirst, 236, 3));
    EXPECT_EQ(frames[2], request(0x80 | kFirst, 47, 6));
    EXPECT_TRUE(window.stIndSoobsch->isHidden());
    EXPECT_EQ(window.laZorvanVersiya->text(), "10v430507");
    EXPECT_TRUE(window.CheckBoxBlockKeyboard->isVisible());
}

TEST_F(FrontPanel, VersionIsReadInTheFirstCycleAndEveryThirtiethOnly) {
    session.line.add(kFirst, {10, 43, 5, 7});
    start();
    ASSERT_TRUE(session.waitForPollCycles(12));
    EXPECT_EQ(countOf(request(0x80 | kFirst, 236, 3)), 1);
    EXPECT_GE(countOf(request(0x80 | kFirst, 47, 6)), 12);
}

TEST_F(FrontPanel, IndicatorAndLampsShowThePanelAnswer) {
    auto instrument = session.line.add(kFirst, {10, 43, 5, 7});
    // "-12.5_" with the point after the 2, tare and stab lit.
    instrument.setPanel(0x80 | 0x20, {0x08, 0x14, 0xCD | 0x20, 0x5B, 0x40, 0x00});
    auto& window = start();
    ASSERT_TRUE(session.waitForPollCycles(2));
    std::string shown;
    for (int i = 0; i < 6; ++i) {
        shown += window.indicatorPosition(i)->caption();
    }
    EXPECT_EQ(shown, "-125_ ");
    EXPECT_TRUE(window.indicatorPosition(2)->pointVisible());
    EXPECT_FALSE(window.indicatorPosition(3)->pointVisible());
    EXPECT_EQ(window.indicatorPosition(4)->fontSize(), 30);
    EXPECT_TRUE(window.imTare->isVisible());
    EXPECT_TRUE(window.imStab->isVisible());
    EXPECT_FALSE(window.imZero->isVisible());
}

TEST_F(FrontPanel, OutputKindSwitchesArtworkTitleAndLockBox) {
    auto instrument = session.line.add(kFirst, {10, 80, 1, 2});
    instrument.setPanel(0x10, {0xD7, 0xD7, 0xD7, 0xD7, 0xD7, 0xD7});
    auto& window = start();
    ASSERT_TRUE(session.waitForPollCycles(2));
    EXPECT_EQ(window.laZorvanVersiya->text(), "10v800102");
    EXPECT_EQ(ui::applicationTitle(), "Zorvan 80");
    EXPECT_FALSE(window.CheckBoxBlockKeyboard->isVisible());
    EXPECT_EQ(window.MainImage->artwork(), window.artwork80.front);
    EXPECT_TRUE(window.imData->isVisible()) << "output lamp follows the answer";
}

TEST_F(FrontPanel, KeyClickSendsThePressThenItsEnd) {
    session.line.add(kFirst, {10, 43, 5, 7});
    auto& window = start();
    ASSERT_TRUE(session.waitForPollCycles(1));
    click(window.MainImage, {23, 148});
    EXPECT_TRUE(window.imKlavishaT->isVisible());
    EXPECT_TRUE(waitForSequence({request(kFirst, 253, 4), request(kFirst, 255, 12)}));
    EXPECT_TRUE(PanelSession::waitFor([&] { return window.imKlavishaT->isHidden(); }));
}

TEST_F(FrontPanel, KeyEdgesAndGapsOfTheKeyRow) {
    session.line.add(kFirst, {10, 43, 5, 7});
    auto& window = start();
    stopPolling(window);
    click(window.MainImage, {254, 205});
    EXPECT_TRUE(waitForSequence({request(kFirst, 253, 2), request(kFirst, 255, 12)}));
    ASSERT_TRUE(link::waitForWorkers(std::chrono::seconds(5)));
    session.line.server->clearTraffic();
    for (QPoint gap : {QPoint(255, 205), QPoint(81, 150), QPoint(139, 150), QPoint(30, 147)}) {
        click(window.MainImage, gap);
    }
    click(window.MainImage, {23, 148}, Qt::RightButton);
    QTest::qWait(100);
    EXPECT_TRUE(session.line.frames().empty());
}

TEST_F(FrontPanel, PressBetweenKeysDragsTheWindow) {
    session.line.add(kFirst, {10, 43, 5, 7});
    auto& window = start();
    stopPolling(window);
    const QPoint before = window.pos();
    QTest::mousePress(window.MainImage, Qt::LeftButton, {}, {81, 150});
    QMouseEvent move(QEvent::MouseMove, QPointF(101, 165),
                     window.MainImage->mapToGlobal(QPointF(101, 165)), Qt::NoButton, Qt::LeftButton,
                     {});
    QApplication::sendEvent(window.MainImage, &move);
    QTest::mouseRelease(window.MainImage, Qt::LeftButton, {}, {101, 165});
    EXPECT_EQ(window.pos() - before, QPoint(20, 15));
    QTest::qWait(50);
    EXPECT_TRUE(session.line.frames().empty());
}

TEST_F(FrontPanel, RefusedLockPutsTheBoxBackAndEnablesIt) {
    auto instrument = session.line.add(kFirst, {10, 43, 5, 7});
    auto& window = start();
    stopPolling(window);
    ASSERT_TRUE(window.CheckBoxBlockKeyboard->isVisible());

    click(window.CheckBoxBlockKeyboard, {5, 8});
    EXPECT_TRUE(PanelSession::waitFor([&] { return window.CheckBoxBlockKeyboard->isEnabled(); }));
    EXPECT_TRUE(window.CheckBoxBlockKeyboard->isChecked());
    EXPECT_TRUE(instrument.keyboardLocked());

    sim::Faults silent;
    silent.silent = true;
    instrument.setFaults(silent);
    click(window.CheckBoxBlockKeyboard, {5, 8});
    EXPECT_FALSE(window.CheckBoxBlockKeyboard->isEnabled()) << "disabled while the command runs";
    EXPECT_TRUE(PanelSession::waitFor([&] { return window.CheckBoxBlockKeyboard->isEnabled(); }));
    EXPECT_TRUE(window.CheckBoxBlockKeyboard->isChecked()) << "back to the confirmed lock";
    EXPECT_EQ(countOf(request(kFirst, 255, 17)), 1);
}

TEST_F(FrontPanel, OutputSwitchNeedsTheOutputKindAndPermission) {
    auto instrument = session.line.add(kFirst, {10, 80, 1, 2});
    testing::SessionSettings allowed;
    allowed.digitalOutAllowed = true;
    auto& window = start(allowed);
    stopPolling(window);
    EXPECT_EQ(countOf(request(kFirst, 252, 128)), 0) << "traffic cleared after the start's 128";

    click(window.MainImage, {208, 104});
    EXPECT_TRUE(waitForSequence({request(kFirst, 252, 129)}));
    EXPECT_TRUE(PanelSession::waitFor([&] { return instrument.digitalOut(); }));

    link::digitalOutAllowed = false;
    ASSERT_TRUE(link::waitForWorkers(std::chrono::seconds(5)));
    session.line.server->clearTraffic();
    const QPoint before = window.pos();
    QTest::mousePress(window.MainImage, Qt::LeftButton, {}, {230, 140});
    QTest::mouseRelease(window.MainImage, Qt::LeftButton, {}, {230, 140});
    QTest::qWait(50);
    EXPECT_TRUE(session.line.frames().empty());
    EXPECT_EQ(window.pos(), before);
}

TEST_F(FrontPanel, LitLampPressSwitchesOffAndARefusedSwitchShowsTheError) {
    auto instrument = session.line.add(kFirst, {10, 80, 1, 2});
    testing::SessionSettings allowed;
    allowed.digitalOutAllowed = true;
    auto& window = start(allowed);
    ASSERT_TRUE(waitForSequence({request(kFirst, 252, 128)}));
    instrument.update([](sim::Instrument& it) { it.digitalOut = true; });
    ASSERT_TRUE(PanelSession::waitFor([&] { return window.imData->isVisible(); }));
    stopPolling(window);

    click(window.imData, {10, 10}, Qt::RightButton);
    EXPECT_TRUE(PanelSession::waitFor([&] { return !instrument.digitalOut(); }));
    ASSERT_TRUE(link::waitForWorkers(std::chrono::seconds(5)));
    EXPECT_EQ(session.line.frames(), std::vector<Frame>{request(kFirst, 252, 128)});
    EXPECT_TRUE(window.stIndSoobsch->isHidden());

    sim::Faults silent;
    silent.silent = true;
    instrument.setFaults(silent);
    session.line.server->clearTraffic();
    click(window.MainImage, {208, 104});
    EXPECT_TRUE(PanelSession::waitFor([&] { return window.stIndSoobsch->isVisible(); }));
    EXPECT_EQ(window.stIndSoobsch->text(), "Ошибка связи\nс прибором!");
    EXPECT_EQ(session.line.frames(), std::vector<Frame>{request(kFirst, 252, 128)})
        << "the lamp still shows the output on until the next poll";
}

TEST_F(FrontPanel, StartSwitchesTheOutputOffWhenControlIsAllowed) {
    session.line.add(kFirst, {10, 80, 1, 2});
    testing::SessionSettings allowed;
    allowed.digitalOutAllowed = true;
    start(allowed);
    EXPECT_TRUE(waitForSequence({request(kFirst, 252, 128)}));
}

TEST_F(FrontPanel, InstrumentWindowsFollowTheAddresses) {
    session.line.add(kFirst, {10, 43, 5, 7});
    session.line.add(12, {10, 43, 5, 7});
    session.line.add(14, {10, 80, 1, 2});
    testing::SessionSettings wanted;
    wanted.addresses = {kFirst, 0, 12, 0, 14, 0};
    auto& window = start(wanted);
    for (int d = 1; d < 6; ++d) {
        EXPECT_EQ(window.instrumentWindow(d) != nullptr, d == 2 || d == 4) << d;
    }
    EXPECT_EQ(window.instrumentWindow(2)->laNumPribor->text(), "3");
    EXPECT_EQ(window.instrumentWindow(4)->laNumPribor->text(), "5");
    ASSERT_TRUE(session.waitForPollCycles(2));
    EXPECT_EQ(window.instrumentWindow(4)->laZorvanVersiya->text(), "10v800102");
    EXPECT_EQ(ui::applicationTitle(), "Zorvan 43") << "instrument 1 names it";
}

TEST_F(FrontPanel, KeyOfWindowThreeGoesToInstrumentThreeAndFailsThere) {
    session.line.add(kFirst, {10, 43, 5, 7});
    auto third = session.line.add(12, {10, 43, 5, 7});
    testing::SessionSettings wanted;
    wanted.addresses = {kFirst, 0, 12, 0, 0, 0};
    auto& window = start(wanted);
    stopPolling(window);
    TfmZorvanNum* windowThree = window.instrumentWindow(2);
    PanelSession::finishOpening(*windowThree);
    ASSERT_TRUE(window.stIndSoobsch->isHidden());
    ASSERT_TRUE(windowThree->stIndSoobsch->isHidden());

    sim::Faults silent;
    silent.silent = true;
    third.setFaults(silent);
    click(windowThree->MainImage, {150, 160});
    EXPECT_TRUE(waitForSequence({request(12, 253, 1)}));
    EXPECT_TRUE(PanelSession::waitFor([&] { return windowThree->stIndSoobsch->isVisible(); }));
    EXPECT_EQ(windowThree->stIndSoobsch->text(), "Ошибка связи\nс прибором!");
    EXPECT_TRUE(window.stIndSoobsch->isHidden());
    EXPECT_EQ(countOf(request(12, 255, 12)), 0) << "no key end after a refused press";
}

TEST_F(FrontPanel, LostConnectionShowsOnThatPanelOnlyAndRecovers) {
    session.line.add(kFirst, {10, 43, 5, 7});
    auto second = session.line.add(11, {10, 43, 5, 7});
    testing::SessionSettings wanted;
    wanted.addresses = {kFirst, 11, 0, 0, 0, 0};
    auto& window = start(wanted);
    ASSERT_TRUE(session.waitForPollCycles(2));
    TfmZorvanNum* windowTwo = window.instrumentWindow(1);
    ASSERT_EQ(windowTwo->laZorvanVersiya->text(), "10v430507");

    sim::Faults garbage;
    garbage.corruptChecksum = true;
    second.setFaults(garbage);
    ASSERT_TRUE(session.waitForPollCycles(2));
    EXPECT_EQ(windowTwo->stIndSoobsch->text(), "Ошибка связи\nс прибором!");
    EXPECT_TRUE(windowTwo->stIndSoobsch->isVisible());
    EXPECT_TRUE(windowTwo->laZorvanVersiya->text().isEmpty());
    EXPECT_TRUE(windowTwo->indicatorPosition(0)->text().isEmpty());
    EXPECT_TRUE(window.stIndSoobsch->isHidden());

    second.setFaults({});
    ASSERT_TRUE(session.waitForPollCycles(2));
    EXPECT_TRUE(windowTwo->stIndSoobsch->isHidden());
    // Only instrument 1's lost version is asked for in every cycle; the others come back with
    // the next thirtieth cycle.
    EXPECT_TRUE(PanelSession::waitFor(
        [&] { return windowTwo->laZorvanVersiya->text() == "10v430507"; }, 20000));
}

TEST_F(FrontPanel, VanishedPortShowsTheErrorEverywhereWithoutSpinning) {
    session.line.add(kFirst, {10, 43, 5, 7});
    session.line.add(11, {10, 43, 5, 7});
    testing::SessionSettings wanted;
    wanted.addresses = {kFirst, 11, 0, 0, 0, 0};
    auto& window = start(wanted);
    ASSERT_TRUE(session.waitForPollCycles(1));
    session.line.server->vanish();
    ASSERT_TRUE(session.waitForPollCycles(2));
    EXPECT_TRUE(window.stIndSoobsch->isVisible());
    EXPECT_TRUE(window.instrumentWindow(1)->stIndSoobsch->isVisible());
    const std::clock_t cpuBefore = std::clock();
    QTest::qWait(500);
    const double cpuSeconds = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    EXPECT_LT(cpuSeconds, 0.25) << "the poll waits for its timer; nothing spins";
}

TEST_F(FrontPanel, MissingPortLeavesTheMessageAndNoPoll) {
    testing::SessionSettings wanted;
    wanted.portName = "ttyNoSuchPort7";
    auto& window = start(wanted);
    EXPECT_TRUE(window.stIndSoobsch->isVisible());
    EXPECT_TRUE(window.stIndSoobsch->text().contains("такого порта не существует"));
    EXPECT_FALSE(window.TimerOprosaPribora.isActive());
}

TEST_F(FrontPanel, OrderlyCloseSavesEveryOpenWindowPosition) {
    session.line.add(kFirst, {10, 43, 5, 7});
    session.line.add(13, {10, 43, 5, 7});
    testing::SessionSettings wanted;
    wanted.addresses = {kFirst, 0, 0, 13, 0, 0};
    auto& window = start(wanted);
    window.move(40, 50);
    window.instrumentWindow(3)->move(300, 60);
    window.CloseImageClick();
    EXPECT_EQ(settings::readSetting(settings::kWindowLeft[0]), 40);
    EXPECT_EQ(settings::readSetting(settings::kWindowTop[0]), 50);
    EXPECT_EQ(settings::readSetting(settings::kWindowLeft[3]), 300);
    EXPECT_EQ(settings::readSetting(settings::kWindowTop[3]), 60);
    EXPECT_FALSE(settings::settingExists(settings::kWindowLeft[1]));
    EXPECT_EQ(window.phase(), ui::BorderlessWindow::Phase::Closing);
    EXPECT_TRUE(waitForSequence({request(kFirst, 255, 17)})) << "keyboard unlocked at the end";
}

TEST_F(FrontPanel, ClosingKeepsAnUnusualPollPeriod) {
    session.line.add(kFirst, {10, 43, 5, 7});
    auto& window = start();
    window.close();
    EXPECT_EQ(settings::readSetting(settings::kPollPeriod), 20);
}

TEST_F(FrontPanel, SavedPositionsAreClampedToTheScreen) {
    session.line.add(kFirst, {10, 43, 5, 7});
    settings::writeSetting(settings::kWindowLeft[0], -50);
    settings::writeSetting(settings::kWindowTop[0], -50);
    auto& window = start();
    EXPECT_EQ(window.pos(), QPoint(0, 0));
}

} // namespace
} // namespace zorvan::panel
