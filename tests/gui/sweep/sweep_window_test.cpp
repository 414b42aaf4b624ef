// The frequency-response window over a simulated bus: what it sends when it opens, sweeps and
// closes, how readings become curves, how the scans before move down, and its curve files.
#include "app/qt_translation.h"
#include "app/window_launchers.h"
#include "chart/plot_view.h"
#include "graphs/chart_picture.h"
#include "graphs/sweep_window.h"
#include "link/device_state.h"
#include "settings/keys.h"
#include "settings/settings_variables.h"
#include "settings/typed_settings.h"
#include "sim/reading_model.h"
#include "tests/support/panel_session.h"
#include "tests/support/ser2net_server.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <deque>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace zorvan::graphs {
namespace {

using testing::PanelSession;
using testing::request;
using Frames = std::vector<std::vector<std::uint8_t>>;

constexpr std::uint8_t kFirst = 10;
constexpr std::uint8_t kRead = 0x80;
constexpr std::uint8_t kRegister = 0xC0;
constexpr std::uint8_t kWrite = 0x40;

Frames setValueWrites(int value) {
    return {request(kWrite | kFirst, 5, static_cast<std::uint8_t>(value & 0xFF)),
            request(kWrite | kFirst, 6, static_cast<std::uint8_t>(value >> 8)),
            request(kFirst, 255, 100)};
}

const std::vector<std::uint8_t> kReading = request(kRead | kFirst, 152, 2);

struct MessageSeen {
    QMessageBox::Icon icon;
    QString title;
    QString text;
    QStringList buttons; // without their shortcut marks
    bool onTop;
};

// The humidity the simulated instrument reports at a set value, as the window plots it.
double humidityAt(std::uint16_t setValue) {
    return std::lround(45.0 * sim::sensorResponse(setValue) * 100.0) / 100.0;
}

// The frames and points of a sweep from 0.1 to 0.3 by 0.10: the start value is written and read
// twice, the first reading dropped.
Frames threeStepSweepFrames() {
    Frames expected;
    for (const int value : {10, 10, 20, 30}) {
        const Frames writes = setValueWrites(value);
        expected.insert(expected.end(), writes.begin(), writes.end());
        expected.push_back(kReading);
    }
    return expected;
}

void expectThreeStepSweepPoints(const TfmGraphicAChH& window) {
    ASSERT_EQ(window.Graphic.count(), 3);
    for (qsizetype i = 0; i < 3; ++i) {
        EXPECT_NEAR(window.Graphic.x(i), 0.1 * double(i + 1), 1e-9);
        EXPECT_NEAR(window.Graphic.y(i), humidityAt(std::uint16_t(10 * (i + 1))), 1e-9);
    }
}

class SweepWindowTest : public ::testing::Test {
protected:
    panel::TMainFormTestIndZorvan4& start(const sim::Faults& faults = {}, int readTimeoutMs = 60) {
        instrument = session.line.add(kFirst, {10, 43, 5, 7});
        instrument->setReading(45.0);
        instrument->setDecimals(2);
        instrument->setFaults(faults);
        testing::SessionSettings wanted;
        wanted.pollPeriodMs = 30;
        wanted.readTimeoutMs = readTimeoutMs;
        wanted.portName = portName;
        auto& main = session.start(wanted);
        app::installWindowLaunchers(main);
        EXPECT_TRUE(session.waitForPollCycles(1));
        return main;
    }

    // Opens "АЧХ" from the menu and waits until the instrument was prepared or found silent; the
    // window's dialogs are answered by the test.
    TfmGraphicAChH& open(panel::TMainFormTestIndZorvan4& main) {
        sentBefore = session.line.frames().size();
        main.MainPopupMenu->NAChH->trigger();
        EXPECT_TRUE(fmGraphicAChH);
        // Prepared, and grown to its full size, so that pixels on its chart stay where they are.
        EXPECT_TRUE(PanelSession::waitFor([] {
            return fmGraphicAChH->BitBtnCloseGraphic->isEnabled() &&
                   fmGraphicAChH->size() == QSize(TfmGraphicAChH::kWidth, TfmGraphicAChH::kHeight);
        }));
        TfmGraphicAChH& window = *fmGraphicAChH;
        window.runFileDialog = [this](QFileDialog&) {
            if (chosenFiles.empty()) {
                return QString();
            }
            const QString path = chosenFiles.front();
            chosenFiles.pop_front();
            return path;
        };
        window.runMessageBox = [this](QMessageBox& box) {
            QStringList buttons;
            for (QAbstractButton* button : box.buttons()) {
                buttons.push_back(button->text().remove(QLatin1Char('&')));
            }
            messages.push_back({box.icon(), box.windowTitle(), box.text(), buttons,
                                box.windowFlags().testFlag(Qt::WindowStaysOnTopHint)});
            return box.icon() == QMessageBox::Question ? answer : int(QMessageBox::Ok);
        };
        return window;
    }

    Frames sentSince(std::size_t from) const {
        const Frames all = session.line.frames();
        return {all.begin() + static_cast<std::ptrdiff_t>(from), all.end()};
    }

    static void chooseLists(TfmGraphicAChH& window, const QString& from, const QString& to,
                            const QString& step, const QString& pause) {
        window.cbMinNapr->setCurrentText(from);
        window.cbMaxNapr->setCurrentText(to);
        window.cbStep->setCurrentText(step);
        window.cbPause->setCurrentText(pause);
    }

    static void sweep(TfmGraphicAChH& window) {
        window.BitBtnPuskStop->click();
        EXPECT_TRUE(PanelSession::waitFor([&] { return !window.running(); }, 10000));
    }

    // Opens the window and sweeps from 0.1 to 0.3 by 0.10, checking the frames and points.
    TfmGraphicAChH& sweepThreeSteps() {
        auto& window = open(start());
        chooseLists(window, "0.1", "0.3", "0.10", "0.1");
        const std::size_t sent = session.line.frames().size();
        sweep(window);
        EXPECT_EQ(sentSince(sent), threeStepSweepFrames());
        expectThreeStepSweepPoints(window);
        return window;
    }

    // Starts a sweep with a pause long enough that the test runs each tick itself.
    static void startByHand(TfmGraphicAChH& window) {
        window.cbPause->setCurrentText(QStringLiteral("5.0"));
        window.BitBtnPuskStopClick();
        EXPECT_TRUE(PanelSession::waitFor([&] { return window.TimerGraphicAChH.isActive(); }));
    }

    // Runs one tick now and waits until its reading (and the next step's writes) are done.
    void tickByHand(TfmGraphicAChH& window) {
        const std::size_t sent = session.line.frames().size();
        window.TimerGraphicAChHTimer();
        EXPECT_TRUE(PanelSession::waitFor([&] {
            return window.TimerGraphicAChH.isActive() ||
                   (!window.running() && session.line.frames().size() > sent);
        }));
    }

    // A test that stopped half-way still gives the line back, so the next one finds the poll.
    void TearDown() override {
        if (fmGraphicAChH) {
            exit(*fmGraphicAChH);
        }
    }

    void exit(TfmGraphicAChH& window) {
        window.BitBtnCloseGraphic->click();
        EXPECT_TRUE(PanelSession::waitFor([] { return !fmGraphicAChH && !link::graphWindowOpen; }));
    }

    PanelSession session;
    std::string portName; // empty: the simulated line's own port
    std::optional<sim::InstrumentHandle> instrument;
    std::size_t sentBefore = 0;
    std::deque<QString> chosenFiles;
    std::vector<MessageSeen> messages;
    int answer = QMessageBox::No;
};

TEST_F(SweepWindowTest, OpeningReadsTheSetValueAndExitWritesItBackRestartsAndResumesThePoll) {
    auto& main = start();
    link::deviceModeState = 1;
    auto& window = open(main);

    EXPECT_EQ(sentSince(sentBefore),
              (Frames{request(kFirst, 254, 0), request(kRegister | kFirst, 5, 1)}));
    EXPECT_EQ(link::deviceModeState, 0);
    EXPECT_EQ(window.initialSetValue(), sim::kResonanceSetValue);
    EXPECT_EQ(window.windowTitle(), "Zorvan 43 - АЧХ");
    EXPECT_TRUE(window.BitBtnPuskStop->isEnabled());
    EXPECT_TRUE(main.isHidden());
    const int cycles = link::pollCount;
    QTest::qWait(120);
    EXPECT_EQ(link::pollCount, cycles) << "the poll stays off while the window owns the line";

    chooseLists(window, "0.1", "0.1", "0.01", "0.1");
    sweep(window);
    const std::size_t sent = session.line.frames().size();
    exit(window);
    Frames expected = setValueWrites(sim::kResonanceSetValue);
    expected.push_back(request(kFirst, 255, 1));
    EXPECT_EQ(sentSince(sent), expected);
    EXPECT_EQ(instrument->appliedSetValue(), sim::kResonanceSetValue);
    EXPECT_EQ(instrument->restartCount(), 1);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(session.waitForPollCycles(1));
}

TEST_F(SweepWindowTest, SilentInstrumentLeavesStartDisabledAndExitSendsNothing) {
    sim::Faults silent;
    silent.silent = true;
    auto& main = start(silent);
    link::deviceModeState = 0;
    auto& window = open(main);

    EXPECT_EQ(window.windowTitle(), "Zorvan 4X, 8X отключен - АЧХ");
    EXPECT_FALSE(window.BitBtnPuskStop->isEnabled());
    const std::size_t sent = session.line.frames().size();
    exit(window);
    EXPECT_EQ(session.line.frames().size(), sent);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(session.waitForPollCycles(1)) << "the poll resumes";
}

TEST_F(SweepWindowTest, SweepWritesEachStepReadsAfterItAndDropsTheFirstReading) {
    auto& window = sweepThreeSteps();
    EXPECT_EQ(window.Graphic.title(), "Скан.");
    EXPECT_TRUE(window.Graphic.showInLegend());
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].icon, QMessageBox::Question);
    EXPECT_EQ(messages[0].text, TfmGraphicAChH::kSweepDone);
    EXPECT_EQ(messages[0].title, "Zorvan 43 - АЧХ");
    EXPECT_EQ(window.TimerGraphicAChH.interval(), 101);
    EXPECT_EQ(instrument->appliedSetValue(), 30) << "the instrument keeps the last step";
    exit(window);
}

TEST_F(SweepWindowTest, SweepThroughSer2netOverRfc2217GoesOnTheLineAsOverALocalPort) {
    if (!testing::ser2netInstalled()) {
        GTEST_SKIP() << "ser2net is not installed";
    }
    testing::Ser2netServer server(session.line.server->path(), testing::freePort(),
                                  testing::NetworkPortKind::Rfc2217);
    ASSERT_TRUE(server.start());
    portName = server.portName();
    exit(sweepThreeSteps());
}

TEST_F(SweepWindowTest, ScansMoveDownAtEachStartKeepingAFileNameAsTheirTitle) {
    const QTemporaryDir folder;
    auto& main = start();
    settings::previousScanPenStyle = 1;
    auto& window = open(main);
    const auto sweepAt = [&](const QString& volts) {
        chooseLists(window, volts, volts, "0.01", "0.1");
        sweep(window);
    };
    sweepAt("0.1");
    answer = QMessageBox::Yes;
    chosenFiles.push_back(folder.filePath("second.txt"));
    sweepAt("0.2");
    answer = QMessageBox::No;
    sweepAt("0.3");
    EXPECT_EQ(window.Graphic.title(), "Скан.");
    EXPECT_EQ(window.GraphicPreviousScan.title(), "second");
    EXPECT_EQ(window.GraphicPrePreviousScan.title(), "Скан.-2");
    EXPECT_TRUE(window.GraphicPrePreviousScan.showInLegend());
    EXPECT_NEAR(window.GraphicPrePreviousScan.x(0), 0.1, 1e-9);

    sweepAt("0.4");
    EXPECT_NEAR(window.GraphicPrePreviousScan.x(0), 0.2, 1e-9) << "the oldest scan is gone";
    EXPECT_EQ(window.GraphicPrePreviousScan.title(), "second");
    EXPECT_EQ(window.GraphicPreviousScan.title(), "Скан.-1");
    EXPECT_EQ(window.GraphicPreviousScan.penStyle(), chart::PenStyle::Dash);
    EXPECT_EQ(window.GraphicPreviousScan.penWidth(), 1);
    EXPECT_EQ(window.GraphicPrePreviousScan.penStyle(), chart::PenStyle::DashDot);
    EXPECT_EQ(window.windowTitle(),
              "Zorvan 43 - АЧХ  \"" + QDir::toNativeSeparators(folder.path()) + "/\"");
    exit(window);
}

TEST_F(SweepWindowTest, StopIsServedAfterOneMoreReadingWhichIsKeptEvenOnTheFirstStep) {
    auto& main = start();
    auto& window = open(main);
    chooseLists(window, "0.1", "0.5", "0.10", "5.0");
    startByHand(window);
    window.BitBtnPuskStop->click();
    EXPECT_TRUE(window.running()) << "the caption stays until the next reading";
    tickByHand(window);

    EXPECT_FALSE(window.running());
    EXPECT_TRUE(window.BitBtnCloseGraphic->isEnabled());
    ASSERT_EQ(window.Graphic.count(), 1);
    EXPECT_NEAR(window.Graphic.x(0), 0.1, 1e-9);
    EXPECT_EQ(window.Graphic.title(), "") << "the first step never named the scan";
    EXPECT_FALSE(window.TimerGraphicAChH.isActive());
    EXPECT_TRUE(messages.empty());
    exit(window);
}

// The count of failed readings was never reset, so after three failures in the whole run every
// later failure ended a sweep at once.
TEST_F(SweepWindowTest, ThreeFailedReadingsEndTheSweepKeepingItsCurveAndTheNextSweepCountsAnew) {
    auto& main = start();
    auto& window = open(main);
    chooseLists(window, "0.1", "0.5", "0.10", "5.0");
    startByHand(window);
    tickByHand(window);
    tickByHand(window);
    ASSERT_EQ(window.Graphic.count(), 1);

    sim::Faults silent;
    silent.silent = true;
    instrument->setFaults(silent);
    tickByHand(window);
    tickByHand(window);
    EXPECT_TRUE(window.running());
    EXPECT_TRUE(messages.empty());
    tickByHand(window);
    EXPECT_FALSE(window.running());
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].text, "Ошибка чтения");
    EXPECT_EQ(messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(window.Graphic.count(), 1) << "the curve so far stays";

    instrument->setFaults({});
    startByHand(window);
    instrument->setFaults(silent);
    tickByHand(window);
    EXPECT_TRUE(window.running());
    EXPECT_EQ(messages.size(), 1U);
    instrument->setFaults({});
    window.BitBtnPuskStopClick();
    tickByHand(window);
    exit(window);
}

// A stored value outside a list left it without a choice, and the start and the close then had no
// text to convert.
TEST_F(SweepWindowTest,
       ListsShowTheNearestEntryForStoredValuesOutsideThemAndExitWritesOnlyChanges) {
    auto& main = start();
    settings::sweepMax = settings::sweepMaxSaved = 900;
    settings::sweepStep = settings::sweepStepSaved = 0;
    auto& window = open(main);
    EXPECT_EQ(window.cbMinNapr->currentText(), "0.0");
    EXPECT_EQ(window.cbMaxNapr->currentText(), "5.0");
    EXPECT_EQ(window.cbStep->currentText(), "0.01");
    EXPECT_EQ(window.cbPause->currentText(), "2.0");
    EXPECT_NEAR(window.Chart1->bottomAxis().minimum(), -0.01, 1e-9);
    EXPECT_NEAR(window.Chart1->bottomAxis().maximum(), 5.01, 1e-9);
    window.cbMinNapr->setCurrentText("4.0");
    EXPECT_NEAR(window.Chart1->bottomAxis().minimum(), 3.99, 1e-9);
    window.cbMinNapr->setCurrentText("0.0");
    exit(window);
    EXPECT_EQ(settings::readSetting(settings::kSweepMax), 500);
    EXPECT_EQ(settings::readSetting(settings::kSweepStep), 1);
    EXPECT_FALSE(settings::settingExists(settings::kSweepMin));
    EXPECT_FALSE(settings::settingExists(settings::kSweepPause));

    auto& again = open(main);
    again.cbPause->setCurrentText("0.5");
    exit(again);
    EXPECT_EQ(settings::readSetting(settings::kSweepPause), 5);
    EXPECT_FALSE(settings::settingExists(settings::kSweepMin));
}

TEST_F(SweepWindowTest, PortGoneEndsTheSweepAndItsReturnGetsTheInitialSetValueBackAndARestart) {
    // The adapter keeps its name when it is plugged back in.
    const QTemporaryDir folder;
    sim::PtyServerOptions options;
    options.linkPath = folder.filePath(QStringLiteral("ttyAdapter")).toStdString();
    session.line.server = sim::PtyServer::start(session.line.bus, options);
    ASSERT_TRUE(session.line.server);
    auto& main = start();
    auto& window = open(main);
    chooseLists(window, "0.1", "0.5", "0.10", "5.0");
    startByHand(window);
    tickByHand(window);

    session.line.server->vanish();
    window.TimerGraphicAChHTimer();
    ASSERT_TRUE(PanelSession::waitFor([&] { return !window.running(); }));
    EXPECT_EQ(window.windowTitle(), "Zorvan 43 отключен - АЧХ");
    EXPECT_FALSE(window.BitBtnPuskStop->isEnabled());
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].text, "Ошибка чтения");
    EXPECT_EQ(messages[0].title, "Zorvan 43 отключен - АЧХ");

    QTest::qWait(1000);
    const std::size_t sent = session.line.frames().size();
    ASSERT_TRUE(session.line.server->restore());
    ASSERT_TRUE(PanelSession::waitFor([&] { return window.windowTitle() == "Zorvan 43 - АЧХ"; }));
    Frames expected = setValueWrites(sim::kResonanceSetValue);
    expected.push_back(request(kFirst, 255, 1));
    EXPECT_EQ(sentSince(sent), expected) << "what \"Выход\" gives the instrument";
    EXPECT_EQ(instrument->appliedSetValue(), sim::kResonanceSetValue);
    EXPECT_EQ(instrument->restartCount(), 1);
    EXPECT_TRUE(window.BitBtnPuskStop->isEnabled());
    chooseLists(window, "0.1", "0.3", "0.10", "0.1");
    sweep(window);
    EXPECT_EQ(window.Graphic.count(), 3) << "the next sweep runs on the port that came back";
    exit(window);
}

TEST_F(SweepWindowTest, CurveFilesShowOverlaySaveAndClear) {
    const QTemporaryDir folder;
    auto& main = start();
    auto& window = open(main);
    const QString descending = folder.filePath("reference.v2.txt");
    QFile file(descending);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(curveFileBytes({{0.3, 50.0}, {0.2, 48.5}, {0.1, 47.25}}).replace('.', ','));
    file.close();

    chosenFiles = {descending};
    window.NLoadDataGraphDopClick(3);
    const chart::LineSeries& blue = *window.GraphicDop[2];
    ASSERT_EQ(blue.count(), 3);
    EXPECT_NEAR(blue.x(0), 0.1, 1e-9);
    EXPECT_NEAR(blue.y(2), 50.0, 1e-9);
    EXPECT_EQ(blue.title(), "reference.v2");
    EXPECT_EQ(blue.colour(0), QColor(0, 0, 255));
    EXPECT_TRUE(window.NClearDataGraphDop[2]->isVisible());
    EXPECT_TRUE(window.NClearAllDataGraphDop->isVisible());
    EXPECT_TRUE(window.NClearAllDataGraph->isVisible());
    EXPECT_FALSE(window.NClearDataGraph->isVisible());
    EXPECT_FALSE(window.NClearDataGraphDop[0]->isVisible());
    EXPECT_EQ(window.NClearDataGraphDop[2]->text(), "Очистить дополнительный график (син. цвет)");

    chosenFiles = {descending, folder.filePath("again.txt")};
    window.NLoadDataGraphClick();
    window.NSaveDataGraphClick();
    QFile saved(folder.filePath("again.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), curveFileBytes({{0.1, 47.25}, {0.2, 48.5}, {0.3, 50.0}}));
    EXPECT_EQ(window.Graphic.title(), "again");
    const chart::PlotView view{window.Chart1->plotArea(), window.Chart1->visibleXRange(),
                               window.Chart1->visibleYRange()};
    const QPoint onLine(int(view.pixelX(0.15)), int(view.pixelY(47.875)));
    QTest::mouseMove(window.Chart1, onLine);
    EXPECT_EQ(window.Chart1->cursor().shape(), Qt::WhatsThisCursor);
    QTest::mouseMove(window.Chart1, onLine + QPoint(200, 0));
    EXPECT_EQ(window.Chart1->cursor().shape(), Qt::ArrowCursor);

    window.NClearAllDataGraphClick();
    EXPECT_EQ(window.windowTitle(), window.baseTitle());
    EXPECT_EQ(window.Chart1->leftAxis().minimum(), -0.5);
    EXPECT_EQ(window.Chart1->leftAxis().maximum(), 0.5);
    EXPECT_FALSE(window.NClearAllDataGraph->isVisible());

    QTest::mouseClick(window.Chart1, Qt::RightButton, {}, window.Chart1->rect().center());
    QTest::qWait(20);
    EXPECT_TRUE(window.GraphPopupMenu->isVisible());
    EXPECT_FALSE(window.NSaveDataGraph->isVisible()) << "nothing to save on an empty chart";
    window.GraphPopupMenu->close();
    EXPECT_TRUE(window.NSaveDataGraph->isVisible());
    exit(window);
}

// Saving deleted the old file before writing the new one, so a failed write lost both.
TEST_F(SweepWindowTest, RefusedOrUnwritableFilesChangeNothingAndAFailedSaveKeepsTheOldFile) {
    const QTemporaryDir folder;
    auto& main = start();
    auto& window = open(main);
    chooseLists(window, "0.1", "0.5", "0.10", "0.1");
    sweep(window);
    const QString title = window.windowTitle();

    const QString wrong = folder.filePath("wrong.txt");
    QFile wrongFile(wrong);
    ASSERT_TRUE(wrongFile.open(QIODevice::WriteOnly));
    wrongFile.write("\x01\x02junk\r\n1 2\r\n");
    wrongFile.close();
    chosenFiles = {wrong};
    window.NLoadDataGraphClick();
    ASSERT_EQ(messages.size(), 2U);
    EXPECT_EQ(messages[1].text,
              "Неправильный формат файла \"" + QDir::toNativeSeparators(wrong) + "\"");
    EXPECT_EQ(messages[1].icon, QMessageBox::Warning);
    EXPECT_EQ(window.Graphic.count(), 5);

    const QString old = folder.filePath("old.txt");
    QFile oldFile(old);
    ASSERT_TRUE(oldFile.open(QIODevice::WriteOnly));
    const QByteArray oldBytes = curveFileBytes({{1.0, 2.0}});
    oldFile.write(oldBytes);
    oldFile.close();
    chosenFiles = {old};
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{static_cast<rlim_t>(oldBytes.size() * 2), limit.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    window.NSaveDataGraphClick();
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler);

    ASSERT_EQ(messages.size(), 3U);
    EXPECT_EQ(messages[2].icon, QMessageBox::Critical);
    EXPECT_TRUE(messages[2].text.contains(QDir::toNativeSeparators(old)));
    ASSERT_TRUE(oldFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(oldFile.readAll(), oldBytes);
    EXPECT_EQ(window.windowTitle(), title);
    EXPECT_EQ(window.Graphic.title(), "Скан.");
    exit(window);
}

TEST_F(SweepWindowTest, EndOfSweepQuestionAsksInRussianAboveEveryWindow) {
    ASSERT_TRUE(app::installQtTranslation());
    auto& main = start();
    auto& window = open(main);
    chooseLists(window, "0.1", "0.1", "0.01", "0.1");
    sweep(window);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].buttons, (QStringList{"Да", "Нет"}));
    EXPECT_TRUE(messages[0].onTop);
    exit(window);
}

// The minimum size held the opening's first frames at that size with their top left at the
// centre, so the window slid in from the lower right.
TEST_F(SweepWindowTest, OpeningGrowsOutOfTheCentreAndMinimisingTakesTheOtherWindowsDown) {
    auto& main = start();
    QWidget other;
    other.show();
    main.MainPopupMenu->NAChH->trigger();
    ASSERT_TRUE(fmGraphicAChH);
    TfmGraphicAChH& window = *fmGraphicAChH;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect target((screen.width() - TfmGraphicAChH::kWidth) / 2,
                       (screen.height() - TfmGraphicAChH::kHeight) / 3, TfmGraphicAChH::kWidth,
                       TfmGraphicAChH::kHeight);
    QTest::qWait(40);
    EXPECT_LT(window.width(), TfmGraphicAChH::kWidth / 2);
    EXPECT_LE((window.geometry().center() - target.center()).manhattanLength(), 4);
    EXPECT_TRUE(PanelSession::waitFor([&] { return window.size() == target.size(); }));
    EXPECT_EQ(window.minimumSize(), QSize(770, 250));

    window.showMinimized();
    EXPECT_TRUE(other.isMinimized());
    EXPECT_TRUE(main.isHidden()) << "a hidden panel stays hidden";
    window.showNormal();
    EXPECT_FALSE(other.isMinimized());
    EXPECT_TRUE(
        PanelSession::waitFor([] { return fmGraphicAChH->BitBtnCloseGraphic->isEnabled(); }));
}

// What the close sent: its writes, without the poll that resumes right after it.
std::vector<sim::TrafficRecord> closeTraffic(const std::vector<sim::TrafficRecord>& traffic,
                                             std::size_t from) {
    std::vector<sim::TrafficRecord> writes;
    for (auto record = traffic.begin() + std::ptrdiff_t(from); record != traffic.end(); ++record) {
        const std::uint8_t code = record->bytes[1];
        if (code == 5 || code == 6 || code == 255) {
            writes.push_back(*record);
        }
    }
    return writes;
}

Frames framesOf(const std::vector<sim::TrafficRecord>& traffic) {
    Frames frames;
    for (const sim::TrafficRecord& record : traffic) {
        frames.push_back(record.bytes);
    }
    return frames;
}

// Apply (255 with 100) and restart (255 with 1) are each sent once more, 100 ms later, when
// unanswered; never a third time, and the restart not at all when it is switched off.
TEST_F(SweepWindowTest, ExitRepeatsAnUnansweredApplyAndRestartOnceAndRestartsOnlyWhenAsked) {
    auto& main = start({}, 20);
    auto& window = open(main);
    sim::Faults silent;
    silent.silent = true;
    instrument->setFaults(silent);
    const std::size_t sent = session.line.bus.traffic().size();
    exit(window);
    const auto atExit = closeTraffic(session.line.bus.traffic(), sent);
    Frames expected = setValueWrites(sim::kResonanceSetValue);
    expected.push_back(request(kFirst, 255, 100));
    expected.push_back(request(kFirst, 255, 1));
    expected.push_back(request(kFirst, 255, 1));
    ASSERT_EQ(framesOf(atExit), expected);
    // An unanswered command first waits out its ten reads of the 20 ms time-out.
    const auto unanswered = 10 * std::chrono::milliseconds(20);
    for (const std::size_t repeat : {3, 5}) {
        EXPECT_GE(atExit[repeat].at - atExit[repeat - 1].at,
                  unanswered + std::chrono::milliseconds(100));
    }

    instrument->setFaults({});
    settings::restartOnExit = false;
    auto& again = open(main);
    const std::size_t beforeExit = session.line.bus.traffic().size();
    exit(again);
    settings::restartOnExit = true;
    EXPECT_EQ(framesOf(closeTraffic(session.line.bus.traffic(), beforeExit)),
              setValueWrites(sim::kResonanceSetValue));
    EXPECT_EQ(instrument->restartCount(), 0);
}

TEST_F(SweepWindowTest, SaveDialogOffersTheTextFiltersAndAddsTxtToABareName) {
    const QTemporaryDir folder;
    auto& main = start();
    auto& window = open(main);
    chooseLists(window, "0.1", "0.1", "0.01", "0.1");
    sweep(window);
    QStringList filters;
    window.runFileDialog = [&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setDirectory(folder.path());
        dialog.selectFile(QStringLiteral("curve"));
        static_cast<QDialog&>(dialog).accept();
        return dialog.selectedFiles().value(0);
    };
    window.NSaveDataGraphClick();
    EXPECT_TRUE(QFile::exists(folder.filePath("curve.txt")));
    ASSERT_EQ(filters.size(), 2);
    EXPECT_TRUE(filters[0].startsWith("Текстовый (*.txt)"));
    EXPECT_TRUE(filters[1].startsWith("Все"));
    exit(window);
}

TEST_F(SweepWindowTest, ChartPictureIsAPngAtThePixelRatioOrAVectorPdfByTheChosenFilter) {
    const QTemporaryDir folder;
    auto& main = start();
    auto& window = open(main);
    chooseLists(window, "0.1", "0.3", "0.10", "0.1");
    sweep(window);
    QString filter;
    window.runFileDialog = [&](QFileDialog& dialog) {
        const QStringList filters = dialog.nameFilters();
        dialog.selectNameFilter(filters[filter == "pdf" ? 1 : 0]);
        return folder.filePath(filter);
    };
    filter = "png";
    window.NSaveGraphPicture->trigger();
    const QImage picture(folder.filePath("png.png"));
    EXPECT_EQ(picture.size(), window.Chart1->size() * window.Chart1->devicePixelRatio());
    EXPECT_EQ(picture.pixelColor(2, 2), QColor(233, 222, 160)) << "the chart's own background";

    filter = "pdf";
    window.NSaveGraphPicture->trigger();
    QFile pdf(folder.filePath("pdf.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GT(bytes.size(), 2000);
    EXPECT_FALSE(bytes.contains("/Subtype /Image")) << "the chart is drawn, not pasted as pixels";
    EXPECT_EQ(messages.size(), 1U) << "only the end-of-sweep question, no failure";
    exit(window);
}

} // namespace
} // namespace zorvan::graphs
