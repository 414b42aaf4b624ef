// The graph window's heavy days: saving and loading a 100,000-line dynamic graph and a week of
// humidity points (with the longest stall of the event loop during an automatic save), and the
// threshold graph fed ten million readings. Prints figures; asserts nothing.
#include "app/window_launchers.h"
#include "graphs/graph_window.h"
#include "graphs/whole_file.h"
#include "link/device_state.h"
#include "link/worker_threads.h"
#include "settings/number_format.h"
#include "settings/settings_path.h"
#include "settings/settings_variables.h"
#include "tests/support/panel_session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;
using zorvan::graphs::FormGraphic;
using zorvan::graphs::TFormGraphic;
using zorvan::testing::PanelSession;

constexpr int kDynamicLines = 100'000;
constexpr int kWeekOfPoints = 100'800;
constexpr int kThresholdReadings = 10'000'000;
constexpr int kShortThreshold = 10'000;

long residentBytes() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

double since(Clock::time_point from) {
    return Millis(Clock::now() - from).count();
}

// The floor for reading a file of lines: splitting its bytes into lines, nothing parsed.
double getlineMs(const QString& path) {
    const auto from = Clock::now();
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::string line;
    std::size_t lines = 0;
    while (std::getline(in, line)) {
        ++lines;
    }
    const double ms = since(from);
    return lines > 0 ? ms : 0.0;
}

// The floor for saving a file: writing its bytes whole to a file beside it, flushed to the disk
// as a save is.
double writeWholeMs(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    const auto from = Clock::now();
    zorvan::graphs::writeWhole(path + QStringLiteral(".copy"), bytes);
    return since(from);
}

void printFileFigures(const char* what, double save, double load, const QString& path) {
    const double split = getlineMs(path);
    const double written = writeWholeMs(path);
    std::printf("  %s: save %.1f ms (%.1fx getline; writing its bytes whole takes %.1f ms), load "
                "%.1f ms (%.1fx getline), getline %.2f ms (goal: save and load at most 40 ms)\n",
                what, save, save / split, written, load, load / split, split);
}

TFormGraphic& openGraph(QAction* item) {
    item->trigger();
    PanelSession::waitFor([] { return FormGraphic->BitBtnPuskStop->isEnabled(); });
    TFormGraphic& window = *FormGraphic;
    window.BitBtnPuskStop->click();
    PanelSession::waitFor([&] { return window.running(); });
    window.TimerGraphic.stop();
    PanelSession::waitFor([] { return !zorvan::link::graphReadBusy; });
    return window;
}

void closeGraph(TFormGraphic& window) {
    window.BitBtnPuskStop->click();
    zorvan::link::waitForWorkers(std::chrono::seconds(30));
    window.BitBtnCloseGraphic->click();
    PanelSession::waitFor([] { return !FormGraphic; });
}

// The longest time the event loop did not come round while `work` and what it left running
// went on, found by a 1 ms timer.
template <typename Work> double longestStallMs(Work work) {
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    sinceTick.start();
    tick.start();
    work();
    PanelSession::waitFor([] { return zorvan::link::runningWorkers() == 0; }, 30000);
    return longest / 1e6;
}

void dynamicFile(zorvan::panel::TMainFormTestIndZorvan4& main, const QString& path) {
    TFormGraphic& window = openGraph(main.MainPopupMenu->NGraphic);
    window.cbOkno->setCurrentText(QStringLiteral("100000"));
    for (int i = 0; i < kDynamicLines; ++i) {
        window.TimerViewDataGraphicTimer({i % 5000, -(i % 7000), 0, 0});
    }
    window.chooseSaveFile = [&] { return path; };
    window.chooseOpenFile = [&] { return path; };
    auto from = Clock::now();
    window.NSaveDataGraphClick();
    const double onInterface = since(from);
    zorvan::link::waitForWorkers(std::chrono::seconds(30));
    const double whole = since(from);
    from = Clock::now();
    window.NLoadDataGraphClick();
    const double load = since(from);
    std::printf("dynamic graph, %d lines of two values: save %.1f ms (%.1f ms of it on the "
                "interface thread), load %.1f ms\n",
                kDynamicLines, whole, onInterface, load);
    printFileFigures("dynamic file", whole, load, path);
    closeGraph(window);
}

void humidityWeek(zorvan::panel::TMainFormTestIndZorvan4& main, const QString& path) {
    zorvan::settings::refreshPeriodSeconds = 1;
    TFormGraphic& window = openGraph(main.MainPopupMenu->NGraphicVlazhnAndTemperatura);
    for (int i = 0; i < kWeekOfPoints; ++i) {
        window.TimerViewDataGraphicTimer({4500 + i % 300, 0, 2300 + i % 50, 2400});
    }
    const auto from = Clock::now();
    const double stall = longestStallMs([&] { window.TimerAutoSaveTimer(); });
    const double automatic = since(from);
    // The same lines saved by hand, timed until they are on disk, once the automatic save's
    // writer has had time to finish and no longer shares the two cores.
    PanelSession::waitFor([] { return false; }, 1000);
    window.chooseSaveFile = [&] { return path; };
    window.chooseOpenFile = [&] { return path; };
    const auto saveFrom = Clock::now();
    window.NSaveDataGraphClick();
    zorvan::link::waitForWorkers(std::chrono::seconds(30));
    const double save = since(saveFrom);
    const auto loadFrom = Clock::now();
    window.NLoadDataGraphClick();
    const double load = since(loadFrom);
    std::printf("humidity graph, a week of points (%d): automatic save %.1f ms, longest "
                "event-loop stall %.1f ms; save %.1f ms, load %.1f ms\n",
                kWeekOfPoints, automatic, stall, save, load);
    printFileFigures("humidity file", save, load, path);
    closeGraph(window);
}

// Returns the repaint p95 after `readings` readings.
double thresholdDays(zorvan::panel::TMainFormTestIndZorvan4& main, int readings) {
    TFormGraphic& window = openGraph(main.MainPopupMenu->NGraphicPlus);
    const long before = residentBytes();
    const auto from = Clock::now();
    for (int i = 0; i < readings; ++i) {
        // Mostly above the default threshold of 100 (two decimals: 10000), dipping now and then.
        const int sample =
            20000 + static_cast<int>(5000 * std::sin(i * 0.001)) - (i % 97 == 0) * 20000;
        window.TimerViewDataGraphicTimer({sample, 0, 0, 0});
    }
    const double perReading = since(from) * 1e6 / readings;
    const double growth = double(residentBytes() - before) / double(window.Graphic.count());
    QImage image(1280, 720, QImage::Format_RGB32);
    window.Chart1->resize(1280, 720);
    // Once untimed, as a window's backing store is: the first paint also maps the image's pages.
    window.Chart1->render(&image);
    std::vector<double> repaints;
    for (int i = 0; i < 40; ++i) {
        window.TimerViewDataGraphicTimer({25000 + i, 0, 0, 0});
        const auto paintFrom = Clock::now();
        window.Chart1->render(&image);
        repaints.push_back(since(paintFrom));
    }
    std::sort(repaints.begin(), repaints.end());
    const double p95 = repaints[repaints.size() * 95 / 100];
    std::printf("threshold graph, %d readings (%lld points): %.0f ns a reading, repaint median "
                "%.2f ms p95 %.2f ms, %.1f bytes of resident memory a point\n",
                readings, static_cast<long long>(window.Graphic.count()), perReading,
                repaints[repaints.size() / 2], p95, growth);
    closeGraph(window);
    return p95;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QTemporaryDir folder;
    PanelSession session;
    session.line.add(10, {10, 80, 1, 2});
    zorvan::testing::SessionSettings settings;
    auto& main = session.start(settings);
    // As the program does at start: until then every number asks the system locale for it.
    zorvan::settings::applyDecimalSeparatorSetting(0);
    session.waitForPollCycles(1);
    zorvan::app::installWindowLaunchers(main);

    // "files" or "threshold" runs only that part, for a profiler.
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (only != QStringLiteral("threshold")) {
        dynamicFile(main, folder.filePath(QStringLiteral("dynamic.txt")));
        humidityWeek(main, folder.filePath(QStringLiteral("humidity.txt")));
    }
    if (only == QStringLiteral("files")) {
        return 0;
    }
    // The threshold runs put days of readings into seconds, and their recording of some 200 MB
    // into the system's cache at once: written to memory, its write-back to the disk stays out of
    // the repaint figures. A real recording grows by at most fifty lines a second.
    QTemporaryDir inMemory(QStringLiteral("/dev/shm/zorvan-bench-XXXXXX"));
    if (inMemory.isValid()) {
        const QString moved = inMemory.filePath(QStringLiteral("zorvan.ini"));
        QFile::copy(zorvan::settings::settingsFilePath(), moved);
        zorvan::settings::setSettingsFilePath(moved);
    }
    const double small = thresholdDays(main, kShortThreshold);
    const double large = thresholdDays(main, kThresholdReadings);
    std::printf("  threshold repaint p95, %d against %d readings: %.2fx (goal: at most 1.3x)\n",
                kThresholdReadings, kShortThreshold, large / small);
    return 0;
}
