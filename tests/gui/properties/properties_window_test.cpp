// The connection settings window: what "OK" applies, to the settings file, the shared state, the
// instrument windows and the line, and what it leaves alone.
#include "link/device_state.h"
#include "link/worker_threads.h"
#include "settings/keys.h"
#include "settings/properties_window.h"
#include "settings/settings_path.h"
#include "settings/typed_settings.h"
#include "sim/pty_server.h"
#include "tests/support/panel_session.h"
#include "ui/window_region.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace zorvan::settings {
namespace {

using Phase = ui::BorderlessWindow::Phase;
using testing::PanelSession;
using testing::request;
using Frames = std::vector<std::vector<std::uint8_t>>;

constexpr std::uint8_t kFirst = 10;

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

std::unique_ptr<TfmProperties> openWindow(ui::WindowHost& host, PortLister listPorts = {}) {
    auto window = std::make_unique<TfmProperties>(host, std::move(listPorts));
    window->show();
    PanelSession::finishOpening(*window);
    return window;
}

// The window on a main window that polls a simulated bus.
class PropertiesOnMainWindow : public ::testing::Test {
protected:
    panel::TMainFormTestIndZorvan4& start(std::uint8_t kind = 43, bool outputAllowed = false) {
        session.line.add(kFirst, {10, kind, 5, 7});
        testing::SessionSettings wanted;
        wanted.pollPeriodMs = 30;
        wanted.readTimeoutMs = 60;
        wanted.digitalOutAllowed = outputAllowed;
        auto& window = session.start(wanted);
        EXPECT_TRUE(session.waitForPollCycles(1));
        return window;
    }

    std::unique_ptr<TfmProperties> openOn(panel::TMainFormTestIndZorvan4& window) {
        return openWindow(window);
    }

    // Stops the poll and forgets the traffic so far.
    void quietLine(panel::TMainFormTestIndZorvan4& window) {
        window.suspendPolling();
        ASSERT_TRUE(link::waitForWorkers(std::chrono::seconds(5)));
        session.line.server->clearTraffic();
    }

    int countOf(const std::vector<std::uint8_t>& frame) {
        const auto frames = session.line.frames();
        return static_cast<int>(std::count(frames.begin(), frames.end(), frame));
    }

    PanelSession session;
};

TEST_F(PropertiesOnMainWindow, OkWithoutAnyChangeWritesNothingAndOnlyCloses) {
    auto& main = start();
    const QByteArray before = fileBytes(session.settingsPath());
    auto window = openOn(main);

    window->BitBtnOKClick();

    EXPECT_EQ(window->phase(), Phase::Closing);
    EXPECT_EQ(fileBytes(session.settingsPath()), before);
    EXPECT_TRUE(session.waitForPollCycles(1)) << "the poll goes on";
}

TEST_F(PropertiesOnMainWindow, CloseImageClosesWithoutApplying) {
    auto& main = start();
    const QByteArray before = fileBytes(session.settingsPath());
    auto window = openOn(main);
    window->cbBaudRate->setCurrentText(QStringLiteral("19200"));
    window->cbAdrPribor2->setCurrentText(QStringLiteral("5"));

    QTest::mouseClick(window->CloseImage, Qt::LeftButton);

    EXPECT_EQ(window->phase(), Phase::Closing);
    EXPECT_EQ(fileBytes(session.settingsPath()), before);
    EXPECT_EQ(link::baudRate, 9600);
    EXPECT_EQ(main.instrumentWindow(1), nullptr);
}

TEST_F(PropertiesOnMainWindow, AddressOfInstrumentThreeOpensAndClosesItsWindow) {
    auto& main = start();
    // Changed in the file behind the program's back: only a key the user changes is written.
    writeSetting(kBaudRate, 19200);

    auto toTwelve = openOn(main);
    toTwelve->cbAdrPribor3->setCurrentText(QStringLiteral("12"));
    toTwelve->BitBtnOKClick();

    EXPECT_EQ(readSetting(kDeviceAddress[2]), 12);
    EXPECT_EQ(link::deviceAddress[2], 12);
    ASSERT_NE(main.instrumentWindow(2), nullptr);
    EXPECT_TRUE(main.instrumentWindow(2)->isVisible());
    EXPECT_EQ(main.instrumentWindow(2)->laNumPribor->text(), "3");
    EXPECT_EQ(readSetting(kBaudRate), 19200);

    auto toNone = openOn(main);
    EXPECT_EQ(toNone->cbAdrPribor3->currentText(), "12");
    toNone->cbAdrPribor3->setCurrentText(QStringLiteral("нет"));
    toNone->BitBtnOKClick();

    EXPECT_EQ(readSetting(kDeviceAddress[2]), 0);
    EXPECT_EQ(link::deviceAddress[2], 0);
    EXPECT_EQ(main.instrumentWindow(2), nullptr);
}

TEST_F(PropertiesOnMainWindow, SpeedChangeReopensThePortUnlocksTheKeyboardAndRestartsThePoll) {
    auto& main = start();
    quietLine(main);
    main.showIndicatorMessage(QStringLiteral("Ошибка связи\nс прибором!"), 14, 42, 50);
    const link::SerialPort* oldPort = link::comPortHandle.get();
    auto window = openOn(main);

    window->cbBaudRate->setCurrentText(QStringLiteral("19200"));
    window->BitBtnOKClick();

    ASSERT_TRUE(PanelSession::waitFor([&] { return main.stIndSoobsch->isHidden(); }));
    EXPECT_NE(link::comPortHandle.get(), oldPort);
    EXPECT_EQ(link::baudRate, 19200);
    EXPECT_EQ(readSetting(kBaudRate), 19200);
    ASSERT_TRUE(session.waitForPollCycles(1));
    const auto frames = session.line.frames();
    EXPECT_EQ(frames.front(), request(kFirst, 255, 17)) << "the unlock comes before any poll";
}

TEST_F(PropertiesOnMainWindow, BusyPortCanBeChosenAndReopeningOnItLeavesThePollOff) {
    auto& main = start();
    sim::Bus otherBus;
    const auto otherLine = sim::PtyServer::start(otherBus);
    ASSERT_TRUE(otherLine);
    const QString busy = QString::fromStdString(otherLine->path());
    const auto otherProgram = link::makeSerialPort(otherLine->path());
    ASSERT_EQ(otherProgram->open(otherLine->path()).status, link::OpenStatus::Opened);
    const QString current = QString::fromStdString(link::comPortName);
    auto window = openWindow(main, [&] { return QStringList{current, busy}; });

    window->cbCommName->setCurrentText(busy);
    window->BitBtnOKClick();

    EXPECT_EQ(link::comPortName, otherLine->path());
    EXPECT_EQ(readSetting(kComPort), busy);
    EXPECT_TRUE(PanelSession::waitFor(
        [&] { return main.stIndSoobsch->text().contains(QStringLiteral("порт занят")); }));
    EXPECT_TRUE(main.stIndSoobsch->isVisible());
    const int cycles = link::pollCount;
    QTest::qWait(150);
    EXPECT_FALSE(main.TimerOprosaPribora.isActive());
    EXPECT_EQ(link::pollCount, cycles);
}

TEST_F(PropertiesOnMainWindow, OutputCheckBoxSwitchesTheOutputOnlyOnTheOutputKind) {
    const struct {
        std::uint8_t kind;
        bool allowedBefore;
        std::optional<std::uint8_t> parameter;
    } rows[] = {{80, false, 128}, {80, true, 0}, {43, false, std::nullopt}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << int{row.kind} << ", allowed " << row.allowedBefore);
        auto& main = start(row.kind, row.allowedBefore);
        quietLine(main);
        auto window = openOn(main);

        window->ChBoxUprDigitalOut->setChecked(!row.allowedBefore);
        window->BitBtnOKClick();
        ASSERT_TRUE(link::waitForWorkers(std::chrono::seconds(5)));

        EXPECT_EQ(readSetting(kDigitalOutAllowed), !row.allowedBefore);
        EXPECT_EQ(link::digitalOutAllowed, !row.allowedBefore);
        const auto frames = session.line.frames();
        if (row.parameter) {
            EXPECT_EQ(frames, (Frames{request(kFirst, 252, *row.parameter)}));
        } else {
            EXPECT_TRUE(frames.empty());
        }
        window.reset();
        session.mainForm.reset();
    }
}

// A host that records what the window asks of it.
class RecordingHost final : public ui::WindowHost {
public:
    void suspendPolling() override { calls << QStringLiteral("stop poll"); }
    void resumePolling() override { calls << QStringLiteral("start poll"); }
    void hidePanels() override { calls << QStringLiteral("hide panels"); }
    void showPanels() override { calls << QStringLiteral("show panels"); }
    void openInstrumentWindow(int d) override { calls << QStringLiteral("open %1").arg(d); }
    void closeInstrumentWindow(int d) override { calls << QStringLiteral("close %1").arg(d); }
    void holdIndicatorMessage(const link::PortFailure&) override {
        calls << QStringLiteral("message");
    }
    void hideIndicatorMessage() override { calls << QStringLiteral("hide message"); }
    void reportNoAnswer() override { calls << QStringLiteral("no answer"); }
    QWidget* ownerWindow() override { return owner; }

    QWidget* owner = nullptr;
    QStringList calls;
};

const PortLister kTwoPorts = [] {
    return QStringList{QStringLiteral("ttyS0"), QStringLiteral("ttyS1")};
};

// The window without a main window.
class PropertiesAlone : public ::testing::Test {
protected:
    void SetUp() override {
        setSettingsFilePath(folder.filePath(QStringLiteral("zorvan.ini")));
        link::comPortName = "ttyS1";
        link::baudRate = 9600;
        link::deviceAddress[0] = kFirst;
        for (int d = 1; d < link::kDeviceCount; ++d) {
            link::deviceAddress[d] = 0;
        }
        link::digitalOutAllowed = false;
    }
    void TearDown() override { setSettingsFilePath({}); }

    QTemporaryDir folder;
    RecordingHost host;
    QStringList& calls = host.calls;
};

TEST_F(PropertiesAlone, StoredValuesNoListOffersAreAddedSelectedAndKept) {
    link::comPortName = "ttyZ9";
    link::baudRate = 57600;
    link::deviceAddress[0] = 70;
    link::deviceAddress[3] = 64;
    auto window = openWindow(host, kTwoPorts);

    EXPECT_EQ(window->cbAdrPribor2->currentIndex(), 0) << "\"нет\" leads the list";
    EXPECT_EQ(window->cbAdrPribor2->count(), 64);
    EXPECT_EQ(window->cbCommName->currentText(), "ttyZ9");
    EXPECT_EQ(window->cbBaudRate->currentText(), "57600");
    EXPECT_EQ(window->cbAdrPribor1->currentText(), "70");
    EXPECT_EQ(window->cbAdrPribor4->currentText(), "64");

    window->BitBtnOKClick();
    EXPECT_FALSE(QFile::exists(settingsFilePath())) << "nothing was changed, nothing written";
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(link::deviceAddress[3], 64);
}

// The reopen and its unlock once ran on the user-interface thread, which froze for seconds with
// a silent instrument (ten read attempts of 200 ms); "OK" now only stops the poll and returns.
TEST_F(PropertiesAlone, ReopenRunsOffTheInterfaceThreadAndReportsAnUnansweredUnlock) {
    testing::SimulatedLine line;
    sim::Faults silent;
    silent.silent = true;
    line.add(kFirst, {10, 43, 5, 7}).setFaults(silent);
    ASSERT_TRUE(line.open(200));
    link::comPortName = "ttyS1";
    const QString path = QString::fromStdString(line.server->path());
    auto window = openWindow(host, [&] { return QStringList{path}; });

    window->cbCommName->setCurrentText(path);
    QElapsedTimer clicked;
    clicked.start();
    window->BitBtnOKClick();
    EXPECT_LT(clicked.elapsed(), 1000);
    EXPECT_EQ(calls, QStringList{"stop poll"});

    EXPECT_TRUE(PanelSession::waitFor([&] { return calls.size() == 4; }));
    EXPECT_EQ(calls, (QStringList{"stop poll", "hide message", "no answer", "start poll"}));
    EXPECT_EQ(line.frames(), (Frames{request(kFirst, 255, 17)}));
}

TEST_F(PropertiesAlone, ATypedNetworkPortIsOpenedAndKeptAsAListedOneIs) {
    const QString typed = QStringLiteral("socket://127.0.0.1:1");
    auto window = openWindow(host, kTwoPorts);
    window->cbCommName->lineEdit()->selectAll();
    QTest::keyClicks(window->cbCommName->lineEdit(), QStringLiteral(" ") + typed);
    window->BitBtnOKClick();
    EXPECT_EQ(readSetting(kComPort), typed);
    EXPECT_EQ(link::comPortName, typed.toStdString());
    EXPECT_TRUE(PanelSession::waitFor([&] { return calls.contains(QStringLiteral("message")); }))
        << "nothing listens on port 1: the port message";

    auto again = openWindow(host, kTwoPorts);
    EXPECT_EQ(again->cbCommName->currentText(), typed);
    EXPECT_EQ(again->cbCommName->count(), 3) << "offered beside the listed ports";
}

TEST_F(PropertiesAlone, OpensTopDownOverItsOwnerAndClosesBottomUp) {
    QWidget owner;
    owner.setGeometry(200, 150, 278, 227);
    host.owner = &owner;
    TfmProperties window(host, kTwoPorts);
    window.show();
    EXPECT_EQ(window.pos(), QPoint(200 + (278 - 412) / 2, 150 + (227 - 297) / 3));
    EXPECT_EQ(window.ButtonPusto->size(), QSize(0, 0));
    const QRegion outline = ui::roundRectRegion(5, 0, 407, 292, 20, 15);
    EXPECT_EQ(window.mask(), outline.intersected(QRect(0, 0, 412, 2)));

    int ticks = 0;
    while (window.phase() == Phase::Opening) {
        window.openingTick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 83) << "the band runs on past the height, up to the width";
    EXPECT_EQ(window.revealExtent(), 417);
    EXPECT_EQ(window.mask(), outline);

    window.close();
    window.closingTick();
    EXPECT_EQ(window.mask(), outline.intersected(QRect(0, 0, 412, 417)));
    window.closingTick();
    EXPECT_EQ(window.mask(), outline.intersected(QRect(0, 0, 412, 402)));
    while (window.phase() == Phase::Closing) {
        window.closingTick();
    }
    EXPECT_TRUE(window.closingDone());
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace zorvan::settings
