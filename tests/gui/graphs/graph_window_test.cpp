// The dynamic graph window over a simulated bus: what it sends when it opens and starts, how it
// turns readings into points, and what it leaves behind when it closes.
#include "app/window_launchers.h"
#include "graphs/graph_window.h"
#include "link/device_state.h"
#include "settings/keys.h"
#include "settings/settings_variables.h"
#include "settings/typed_settings.h"
#include "tests/gui/graphs/graph_fixture.h"
#include "tests/support/panel_session.h"
#include "tests/support/ser2net_server.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace zorvan::graphs {
namespace {

using testing::PanelSession;
using testing::request;
using Frames = std::vector<std::vector<std::uint8_t>>;

constexpr std::uint8_t kFirst = 10;
constexpr std::uint8_t kSecond = 11;
constexpr std::uint8_t kRead = 0x80;
constexpr std::uint8_t kRegister = 0xC0;

class GraphWindowTest : public ::testing::Test {
protected:
    // Instrument 1 of `kind` (and instrument 2 of the 8.0 kind when `second`), the poll running.
    panel::TMainFormTestIndZorvan4& start(std::uint8_t kind, bool second = false,
                                          const sim::Faults& faults = {}) {
        return startGraphSession(session, kind, second, faults);
    }

    // Opens the graph from the menu and waits until its preparation ended.
    TFormGraphic& open(panel::TMainFormTestIndZorvan4& main) {
        sentBefore = session.line.frames().size();
        main.MainPopupMenu->NGraphic->trigger();
        EXPECT_TRUE(FormGraphic);
        EXPECT_TRUE(PanelSession::waitFor([] {
            return FormGraphic->BitBtnPuskStop->isEnabled() ||
                   FormGraphic->windowTitle().endsWith(TFormGraphic::kSilentSuffix);
        }));
        return *FormGraphic;
    }

    Frames sentSinceOpening() const {
        const Frames all = session.line.frames();
        return {all.begin() + static_cast<std::ptrdiff_t>(sentBefore), all.end()};
    }

    static void clickStart(TFormGraphic& window) {
        window.BitBtnPuskStop->click();
        EXPECT_TRUE(PanelSession::waitFor([&] { return window.running(); }));
    }

    static void exit(TFormGraphic& window) {
        window.BitBtnCloseGraphic->click();
        EXPECT_TRUE(PanelSession::waitFor([] { return !FormGraphic; }));
    }

    void TearDown() override { closeLeftOverGraph(); }

    // Serves the simulated line behind a fixed path, as an adapter keeps its name when it is
    // plugged back in; before start().
    void serveBehindAFixedPath() {
        sim::PtyServerOptions options;
        options.linkPath = adapterFolder.filePath(QStringLiteral("ttyAdapter")).toStdString();
        session.line.server = sim::PtyServer::start(session.line.bus, options);
        ASSERT_TRUE(session.line.server);
    }

    static TFormGraphic& openFromMenu(QAction* item) {
        item->trigger();
        EXPECT_TRUE(FormGraphic);
        EXPECT_TRUE(PanelSession::waitFor([] { return FormGraphic->BitBtnPuskStop->isEnabled(); }));
        return *FormGraphic;
    }

    // Pulls the adapter out under the running graph and, a second after the window said so,
    // plugs it back in; returns what was sent from then until the caption came back.
    Frames pullOutAndPlugBackIn(TFormGraphic& window) {
        session.line.server->vanish();
        EXPECT_TRUE(PanelSession::waitFor([&] {
            return window.windowTitle() == window.windowTitleBase() + TFormGraphic::kSilentSuffix;
        }));
        QTest::qWait(1000);
        EXPECT_TRUE(window.running()) << "the run waits for the port";
        const std::size_t sent = session.line.frames().size();
        EXPECT_TRUE(session.line.server->restore());
        EXPECT_TRUE(PanelSession::waitFor(
            [&] { return window.windowTitle() == window.windowTitleBase() + " - график"; }));
        const Frames all = session.line.frames();
        return {all.begin() + static_cast<std::ptrdiff_t>(sent), all.end()};
    }

    // Points plotted after the return continue the run: the same numbering and the same file,
    // which holds every point from before and after the gap.
    static void expectTheRunGoesOn(TFormGraphic& window, qsizetype before, int boundMs) {
        const QString recorded = window.autoSaveFileName();
        EXPECT_TRUE(
            PanelSession::waitFor([&] { return window.Graphic.count() >= before + 2; }, boundMs));
        window.BitBtnPuskStop->click();
        EXPECT_TRUE(PanelSession::waitFor([] { return link::runningWorkers() == 0; }));
        const qsizetype points = window.Graphic.count();
        EXPECT_EQ(window.Graphic.x(points - 1), points - 1);
        EXPECT_EQ(window.autoSaveFileName(), recorded);
        QFile file(recorded);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll().count("\r\n"), points);
    }

    PanelSession session;
    QTemporaryDir adapterFolder;
    std::size_t sentBefore = 0;
};

TEST_F(GraphWindowTest, PreparationPutsInstrument1InItsNormalModeAndReadsItsDecimals) {
    auto& main = start(43);
    link::deviceModeState = 1;
    auto& window = open(main);

    EXPECT_EQ(sentSinceOpening(),
              (Frames{request(kFirst, 254, 0), request(kRegister | kFirst, 6, 0)}));
    EXPECT_EQ(link::deviceModeState, 0);
    EXPECT_EQ(link::graphDecimals, 2) << "the instrument reports decimals less one";
    EXPECT_DOUBLE_EQ(link::graphScale, 0.1 * 0.1);
    EXPECT_EQ(window.windowTitle(), "Zorvan 43 - график");
    EXPECT_TRUE(window.cbOkno->isEnabled());
    EXPECT_TRUE(main.isHidden());
    EXPECT_TRUE(link::graphWindowOpen);
    const int cycles = link::pollCount;
    QTest::qWait(120);
    EXPECT_EQ(link::pollCount, cycles) << "the poll stays off while the graph owns the line";
    exit(window);
}

TEST_F(GraphWindowTest, InstrumentsOfTheLargeKindReportDecimalsWithCode31) {
    auto& main = start(80);
    link::deviceModeState = 0;
    auto& window = open(main);
    EXPECT_EQ(sentSinceOpening(), (Frames{request(kRegister | kFirst, 31, 0)}));
    exit(window);
}

// A graph scaled by a guess would be out by a power of ten from its first point to its last.
TEST_F(GraphWindowTest, DecimalsNeverAnsweredWholeLeaveTheInstrumentNotReadyInsteadOfGuessed) {
    auto& main = start(43);
    link::deviceModeState = 0;
    sim::Faults damaged;
    damaged.corruptChecksum = true;
    session.line.instrument(kFirst).setFaults(damaged);
    auto& window = open(main);
    EXPECT_EQ(sentSinceOpening(), Frames(3, request(kRegister | kFirst, 6, 0)));
    EXPECT_EQ(window.windowTitle(), "Zorvan 43  -  прибор отключен");
    EXPECT_FALSE(window.BitBtnPuskStop->isEnabled());
    exit(window);
}

// After a lost connection the panels forget instrument 1's version until they read it again;
// a graph opened meanwhile reads it itself rather than taking the one-decimal scale of kind 0.
TEST_F(GraphWindowTest, AGraphOpenedBeforeThePanelsFoundTheVersionAgainReadsItFirst) {
    auto& main = start(43);
    link::deviceModeState = 0;
    main.TimerOprosaPribora.stop();
    ASSERT_TRUE(link::waitForWorkers(std::chrono::seconds(5)));
    link::versionByte0[0] = link::versionByte1[0] = link::versionByte2[0] = link::versionByte3[0] =
        0;
    auto& window = open(main);
    EXPECT_EQ(sentSinceOpening(),
              (Frames{request(0x80 | kFirst, 236, 3), request(kRegister | kFirst, 6, 0)}));
    EXPECT_EQ(link::versionByte1[0], 43);
    EXPECT_EQ(link::graphDecimals, 2);
    exit(window);
}

// A poll that found instrument 1 silent just as the graph opened makes the panels forget its
// version while the preparation is under way: the preparation keeps the kind it started with.
TEST_F(GraphWindowTest, ThePanelsForgettingTheVersionDuringThePreparationDoesNotChangeTheScale) {
    auto& main = start(43);
    link::deviceModeState = 1;
    sim::Faults slowAcknowledgement;
    slowAcknowledgement.answerDelay = std::chrono::milliseconds(300);
    session.line.instrument(kFirst).setFaults(slowAcknowledgement);
    sentBefore = session.line.frames().size();
    main.MainPopupMenu->NGraphic->trigger();
    ASSERT_TRUE(PanelSession::waitFor([&] { return !sentSinceOpening().empty(); }));
    link::versionByte0[0] = link::versionByte1[0] = link::versionByte2[0] = link::versionByte3[0] =
        0;
    session.line.instrument(kFirst).setFaults({});
    ASSERT_TRUE(PanelSession::waitFor([] { return FormGraphic->BitBtnPuskStop->isEnabled(); }));
    EXPECT_EQ(sentSinceOpening(),
              (Frames{request(kFirst, 254, 0), request(kRegister | kFirst, 6, 0)}));
    EXPECT_EQ(link::graphDecimals, 2);
    exit(*FormGraphic);
}

TEST_F(GraphWindowTest, DoubleClickOnTheIndicatorOpensItAndKind44HasOneDecimalUnasked) {
    auto& main = start(44);
    link::deviceModeState = 0;
    const std::size_t before = session.line.frames().size();
    // The positions let the mouse through: the double click lands on the front picture.
    const QPoint onPosition =
        main.MainImage->mapFrom(&main, main.indicatorPosition(2)->geometry().center());
    QTest::mouseDClick(main.MainImage, Qt::LeftButton, {}, onPosition);
    ASSERT_TRUE(FormGraphic);
    ASSERT_TRUE(PanelSession::waitFor([] { return FormGraphic->BitBtnPuskStop->isEnabled(); }));
    EXPECT_EQ(session.line.frames().size(), before);
    EXPECT_EQ(link::graphDecimals, 1);
    exit(*FormGraphic);
}

TEST_F(GraphWindowTest, SilentInstrumentLeavesStartDisabledAndExitSendsNothing) {
    sim::Faults silent;
    silent.silent = true;
    auto& main = start(43, false, silent);
    link::deviceModeState = 1;
    auto& window = open(main);

    EXPECT_EQ(window.windowTitle(), "Zorvan 4X, 8X  -  прибор отключен") << "its kind is unknown";
    EXPECT_FALSE(window.BitBtnPuskStop->isEnabled());
    const std::size_t sent = session.line.frames().size();
    exit(window);
    EXPECT_EQ(session.line.frames().size(), sent);
    EXPECT_FALSE(main.isHidden());
    EXPECT_FALSE(link::graphWindowOpen);
    EXPECT_TRUE(session.waitForPollCycles(1)) << "the poll resumes";
}

TEST_F(GraphWindowTest, StartAsksBothAddressesThenReadsInstrument1Only) {
    auto& main = start(43);
    auto& window = open(main);
    window.cbReadPeriod->setCurrentText(QStringLiteral("0.02"));
    sentBefore = session.line.frames().size();
    clickStart(window);
    ASSERT_TRUE(PanelSession::waitFor([&] { return window.Graphic.count() >= 3; }));
    window.BitBtnPuskStop->click();

    const Frames sent = sentSinceOpening();
    ASSERT_GE(sent.size(), 5U);
    EXPECT_EQ(sent[0], request(kFirst, 254, 1));
    EXPECT_EQ(sent[1], request(0, 254, 1)) << "instrument 2's address even when it is 0";
    for (std::size_t i = 2; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i], request(kRead | kFirst, 152, 2));
    }
    EXPECT_EQ(window.Graphic2.count(), 0);
    EXPECT_TRUE(window.cbOkno->isEnabled()) << "the lists come back at Стоп";
    exit(window);
}

TEST_F(GraphWindowTest, ReadsAt20MsGoThroughSer2netOverRfc2217AsOverALocalPort) {
    if (!testing::ser2netInstalled()) {
        GTEST_SKIP() << "ser2net is not installed";
    }
    testing::Ser2netServer server(session.line.server->path(), testing::freePort(),
                                  testing::NetworkPortKind::Rfc2217);
    ASSERT_TRUE(server.start());
    auto& main = startGraphSession(session, 43, false, {}, server.portName());
    auto& window = open(main);
    window.cbReadPeriod->setCurrentText(QStringLiteral("0.02"));
    sentBefore = session.line.frames().size();
    clickStart(window);
    ASSERT_TRUE(PanelSession::waitFor([&] { return window.Graphic.count() >= 20; }));
    window.BitBtnPuskStop->click();
    ASSERT_TRUE(PanelSession::waitFor([&] { return !window.running(); }));

    const Frames sent = sentSinceOpening();
    ASSERT_GE(sent.size(), 22U);
    EXPECT_EQ(sent[0], request(kFirst, 254, 1));
    EXPECT_EQ(sent[1], request(0, 254, 1));
    EXPECT_EQ(std::count(sent.begin(), sent.end(), request(kRead | kFirst, 152, 2)),
              std::ptrdiff_t(sent.size() - 2));
    EXPECT_EQ(window.Graphic.count(), qsizetype(sent.size() - 2)) << "a point for every read";
    exit(window);
}

TEST_F(GraphWindowTest, LargeKindSamplesWithCode0AndReadsInstrument2Too) {
    auto& main = start(100, true);
    auto& window = open(main);
    sentBefore = session.line.frames().size();
    link::deviceModeState = 0;
    clickStart(window);
    link::deviceModeState = 0; // as if the instrument forgot it: the read asks again
    ASSERT_TRUE(PanelSession::waitFor([&] { return window.Graphic2.count() >= 2; }));
    window.BitBtnPuskStop->click();

    const Frames sent = sentSinceOpening();
    const Frames expectedStart{
        request(kFirst, 254, 1),           request(kSecond, 254, 1),
        request(kFirst, 254, 1),           request(kSecond, 254, 1),
        request(kRegister | kFirst, 0, 2), request(kRegister | kSecond, 0, 2)};
    ASSERT_GE(sent.size(), expectedStart.size());
    EXPECT_EQ(Frames(sent.begin(), sent.begin() + 6), expectedStart);
    EXPECT_EQ(window.Graphic.count(), window.Graphic2.count());
    exit(window);
}

TEST_F(GraphWindowTest, Span100After101ReadingsHolds100PointsAndTheViewSlidesByOne) {
    auto& main = start(43);
    auto& window = open(main);
    window.cbReadPeriod->setCurrentText(QStringLiteral("10.0")); // no live read meanwhile
    clickStart(window);
    for (int i = 0; i <= 100; ++i) {
        window.TimerViewDataGraphicTimer({i % 2 == 0 ? 0 : 700, 0, 0, 0});
    }
    ASSERT_EQ(window.Graphic.count(), 100);
    EXPECT_EQ(window.Graphic.x(0), 1);
    EXPECT_EQ(window.Graphic.x(99), 100);
    EXPECT_EQ(window.Chart1->bottomAxis().minimum(), 1);
    EXPECT_EQ(window.Chart1->bottomAxis().maximum(), 101);
    EXPECT_NEAR(window.Chart1->leftAxis().minimum(), -0.244, 1e-9);
    EXPECT_NEAR(window.Chart1->leftAxis().maximum(), 7.24688, 1e-9);
    EXPECT_EQ(window.Graphic.label(0).left(2), " 0") << "labels count from the first point";
    window.BitBtnPuskStop->click();
    exit(window);
}

TEST_F(GraphWindowTest, ReadsSlowerThanThePeriodAreCountedNotQueued) {
    sim::Faults slow;
    slow.answerDelay = std::chrono::milliseconds(40);
    auto& main = start(43, false, slow);
    auto& window = open(main);
    window.cbReadPeriod->setCurrentText(QStringLiteral("0.02"));
    sentBefore = session.line.frames().size();
    clickStart(window);
    ASSERT_TRUE(PanelSession::waitFor([&] { return window.missedReads() >= 5; }));
    EXPECT_EQ(window.laPropusky->text(),
              QStringLiteral("Пропущено запросов: %1").arg(window.missedReads()));
    window.BitBtnPuskStop->click();
    EXPECT_TRUE(PanelSession::waitFor([] { return !link::graphReadBusy; }));

    const auto reads = static_cast<qsizetype>(sentSinceOpening().size()) - 2;
    EXPECT_LE(window.Graphic.count(), reads) << "never a point without its read";
    EXPECT_GE(window.Graphic.count(), reads - 1);
    exit(window);
}

TEST_F(GraphWindowTest, ExitWritesOnlyWhatChangedAndGivesThePanelsBackWhereTheyWere) {
    auto& main = start(43);
    const QPoint where = main.pos();
    auto& window = open(main);
    EXPECT_EQ(window.cbReadPeriod->currentText(), "0.5");
    window.cbOkno->setCurrentText(QStringLiteral("2000"));
    exit(window);

    EXPECT_EQ(settings::readSetting(settings::kGraphSpan), 2000);
    EXPECT_EQ(settings::graphSpanSaved, 2000);
    EXPECT_FALSE(settings::settingExists(settings::kReadPeriod))
        << "a stored 500 shows as 0.5 and is not rewritten as 493";
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.isEnabled());
    EXPECT_EQ(main.pos(), where);
    EXPECT_TRUE(session.waitForPollCycles(2));

    auto& again = open(main);
    EXPECT_EQ(again.cbOkno->currentText(), "2000");
    again.cbReadPeriod->setCurrentText(QStringLiteral("0.2"));
    again.cbReadPeriod->setCurrentText(QStringLiteral("0.5"));
    exit(again);
    EXPECT_EQ(settings::readSetting(settings::kReadPeriod), 493);
}

TEST_F(GraphWindowTest, PortVanishingWhileRunningNeitherHangsNorStopsStopAndExit) {
    auto& main = start(43);
    auto& window = open(main);
    window.cbReadPeriod->setCurrentText(QStringLiteral("0.02"));
    clickStart(window);
    ASSERT_TRUE(PanelSession::waitFor([&] { return window.Graphic.count() >= 2; }));
    session.line.server->vanish();
    // Said after every point read before, since both come to the window in order.
    ASSERT_TRUE(PanelSession::waitFor([&] {
        return window.windowTitle() == window.windowTitleBase() + TFormGraphic::kSilentSuffix;
    }));
    const qsizetype points = window.Graphic.count();
    QTest::qWait(100);
    EXPECT_EQ(window.Graphic.count(), points) << "a failed read adds no point";

    window.BitBtnPuskStop->click();
    EXPECT_FALSE(window.running());
    exit(window);
    EXPECT_TRUE(PanelSession::waitFor(
        [&] { return main.stIndSoobsch->text() == QStringLiteral("Ошибка связи\nс прибором!"); }));
}

// The reads used to stop for good at a pulled-out adapter: no request after it came back, no
// message, and "Стоп" still offered.
TEST_F(GraphWindowTest, ThresholdGraphSaysThePortIsGoneAndGoesOnInTheSameRunOnceItIsBack) {
    serveBehindAFixedPath();
    auto& main = start(43);
    auto& window = openFromMenu(main.MainPopupMenu->NGraphicPlus);
    window.cbMinViewValue->setCurrentText(QStringLiteral("-1e9")); // every reading plotted
    window.cbReadPeriod->setCurrentText(QStringLiteral("0.02"));
    clickStart(window);
    ASSERT_TRUE(PanelSession::waitFor([&] { return window.Graphic.count() >= 3; }));

    const Frames sent = pullOutAndPlugBackIn(window);
    const qsizetype before = window.Graphic.count();
    const Frames preparation{request(kFirst, 254, 0), request(kRegister | kFirst, 6, 0),
                             request(kFirst, 254, 1), request(0, 254, 1)};
    ASSERT_GE(sent.size(), preparation.size());
    EXPECT_EQ(Frames(sent.begin(), sent.begin() + 4), preparation)
        << "the instrument may have lost power with the adapter";
    expectTheRunGoesOn(window, before, 5000);
    exit(window);
}

TEST_F(GraphWindowTest, HumidityGraphAsksInstrument1ToSampleAgainOnceThePortIsBack) {
    serveBehindAFixedPath();
    auto& main = start(80);
    settings::refreshPeriodSeconds = 1;
    auto& window = openFromMenu(main.MainPopupMenu->NGraphicVlazhnAndTemperatura);
    clickStart(window);
    ASSERT_TRUE(PanelSession::waitFor([&] { return window.Graphic.count() >= 1; }));

    const Frames sent = pullOutAndPlugBackIn(window);
    const qsizetype before = window.Graphic.count();
    const Frames preparation{request(kFirst, 254, 0), request(kRegister | kFirst, 31, 0),
                             request(kFirst, 254, 1), request(0, 254, 1)};
    ASSERT_GE(sent.size(), preparation.size());
    EXPECT_EQ(Frames(sent.begin(), sent.begin() + 4), preparation);
    expectTheRunGoesOn(window, before, 8000);
    exit(window);
}

// Listening sends nothing, so only the reads can notice the adapter gone: a hang-up under a read
// once left the graph waiting for readings that never came.
TEST_F(GraphWindowTest, ListeningHumidityGraphNoticesThePortGoneAndListensAgainOnceItIsBack) {
    serveBehindAFixedPath();
    session.line.server->setListenMaster(kFirst);
    auto& main = start(80);
    settings::refreshPeriodSeconds = 1;
    settings::noRequestMode = true;
    auto& window = openFromMenu(main.MainPopupMenu->NGraphicVlazhnAndTemperatura);
    ASSERT_TRUE(window.CheckBoxZaprosPr44->isChecked());
    clickStart(window);
    ASSERT_TRUE(PanelSession::waitFor([&] { return window.Graphic.count() >= 1; }, 8000));

    const std::size_t sentBefore = session.line.frames().size();
    const Frames sent = pullOutAndPlugBackIn(window);
    const qsizetype before = window.Graphic.count();
    expectTheRunGoesOn(window, before, 8000);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(session.line.frames().size(), sentBefore)
        << "the other master asks, the program listens";
    exit(window);
}

} // namespace
} // namespace zorvan::graphs
