#include "tools/soak/soak.h"

#include "app/window_launchers.h"
#include "graphs/graph_file.h"
#include "graphs/graph_window.h"
#include "graphs/recording_file.h"
#include "graphs/sweep_window.h"
#include "link/command_codes.h"
#include "link/device_state.h"
#include "link/worker_threads.h"
#include "panel/instrument_panel.h"
#include "panel/key_areas.h"
#include "panel/main_menu.h"
#include "settings/keys.h"
#include "settings/typed_settings.h"
#include "tests/support/panel_session.h"
#include "tests/support/ser2net_server.h"
#include "tools/soak/recording_check.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zorvan::soak {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using std::chrono::seconds;
using testing::PanelSession;

constexpr std::uint8_t kFirst = 10;
constexpr std::uint8_t kSecond = 11;
constexpr int kDecimals = 3;
constexpr milliseconds kReadTimeout = 100ms;
constexpr int kPollPeriodMs = 100;
constexpr int kReadPeriodMs = 80; // an entry of the window's list
// A reconnect that has not happened this long after the port came back has failed.
constexpr auto kReconnectBound = 30s;
// What the heap may wander by in an hour with nothing held: allocator caches, not a leak.
constexpr double kAllowedGrowthPerHour = 4.0 * (1 << 20);
constexpr double kLongestGapGoalMs = 100.0;

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound) {
    return PanelSession::waitFor(condition, int(bound.count()));
}

// Runs the event loop for a while, as a user's pause between two things does.
void pause(milliseconds lasting) {
    waitFor([] { return false; }, lasting);
}

std::string megabytes(std::int64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", double(bytes) / (1 << 20));
    return text;
}

// The program is back at its work with an instrument: the panels poll it or a graph reads it.
bool isRead(const std::vector<std::uint8_t>& frame, std::uint8_t address) {
    return frame.size() >= 4 && (frame[0] & 0x80) != 0 && (frame[0] & 0x3F) == address;
}

} // namespace

Soak::Soak(const SoakOptions& options)
    : options_(options), stretch_(std::clamp(options.length / 8, seconds(20), seconds(120))),
      schedule_(options.seed, kReadTimeout,
                std::clamp(milliseconds(options.length) / 3, milliseconds(60s), milliseconds(240s)),
                {kFirst, kSecond}),
      actions_(options.seed ^ 0x9E3779B97F4A7C15ull) {
    ticker_.setInterval(100);
    QObject::connect(&ticker_, &QTimer::timeout, [this] { onTick(); });
}

Soak::~Soak() = default;

bool Soak::startLine() {
    try {
        session_ = std::make_unique<PanelSession>();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "soak: cannot start: %s\n", error.what());
        return false;
    }
    sim::Bus& bus = session_->line.bus;
    for (const auto& [address, kind] : {std::pair{kFirst, 80}, std::pair{kSecond, 43}}) {
        sim::InstrumentHandle instrument =
            bus.addInstrument(address, {10, std::uint8_t(kind), 5, 7});
        instrument.setReading(45.0, true);
        instrument.setDecimals(kDecimals);
    }
    if (options_.network) {
        if (!testing::ser2netInstalled()) {
            std::fprintf(stderr, "soak: cannot start: ser2net is not installed\n");
            return false;
        }
        ser2net_ = std::make_unique<testing::Ser2netServer>(
            session_->line.server->devicePath(), testing::freePort(),
            testing::NetworkPortKind::Rfc2217, 9600, testing::Ser2netTuning::QuickAnswers);
        if (!ser2net_->start()) {
            std::fprintf(stderr, "soak: cannot start: ser2net does not serve the pty\n");
            return false;
        }
        portName_ = ser2net_->portName();
        return true;
    }
    // A fixed name for the port, as an adapter's device name stays when it is plugged back in.
    sim::PtyServerOptions linked;
    linked.linkPath = files_.filePath(QStringLiteral("ttyAdapter")).toStdString();
    session_->line.server = sim::PtyServer::start(bus, linked);
    if (!session_->line.server) {
        std::fprintf(stderr, "soak: cannot start: no pseudo-terminal can be opened here\n");
        return false;
    }
    portName_ = linked.linkPath;
    return true;
}

bool Soak::run() {
    if (!startLine()) {
        return false;
    }
    std::printf("soak: %lld s, seed %llu, port %s\n",
                static_cast<long long>(options_.length.count()),
                static_cast<unsigned long long>(options_.seed), portName_.c_str());
    std::fflush(stdout);
    settings::writeSetting(settings::kReadPeriod, kReadPeriodMs);
    testing::SessionSettings wanted;
    wanted.addresses = {kFirst, kSecond, 0, 0, 0, 0};
    wanted.pollPeriodMs = kPollPeriodMs;
    wanted.readTimeoutMs = int(kReadTimeout.count());
    wanted.digitalOutAllowed = true;
    wanted.portName = portName_;
    main_ = &session_->start(wanted);
    app::installWindowLaunchers(*main_);
    if (!session_->waitForPollCycles(1)) {
        std::fprintf(stderr, "soak: cannot start: the panels do not poll the simulated line\n");
        return false;
    }

    startedAt_ = Clock::now();
    atStart_ = peak_ = processFigures();
    nextSpellAt_ = startedAt_ + 2s;
    portGoesAt_ = startedAt_ + schedule_.nextPortPresence() / 2;
    loopWatch_.start();
    ticker_.start();
    const auto end = startedAt_ + options_.length;
    for (int round = 1; Clock::now() < end; ++round) {
        std::printf("round %d at %lld s: %d failures so far\n", round,
                    static_cast<long long>(
                        std::chrono::duration_cast<seconds>(Clock::now() - startedAt_).count()),
                    int(failures_.size()));
        std::fflush(stdout);
        noteFigures();
        pressAround(stretch_);
        recordThreshold(stretch_);
        recordHumidity(stretch_);
        sweepOnce();
    }
    phase_ = Phase::Setup;
    waitForSteadyPort();
    ticker_.stop();
    noteFigures();
    return report();
}

// Keys, the keyboard lock and the discrete output of both panels, now and then.
void Soak::pressAround(seconds lasting) {
    phase_ = Phase::Panels;
    loopWatch_.setActivity("the panels polling, keys pressed");
    const auto end = Clock::now() + lasting;
    const panel::PanelKey keys[] = {panel::PanelKey::T, panel::PanelKey::Zero, panel::PanelKey::F1,
                                    panel::PanelKey::F2};
    while (Clock::now() < end) {
        pause(milliseconds(std::uniform_int_distribution<int>(300, 2500)(actions_)));
        panel::InstrumentPanel* panel =
            main_->panelOf(std::uniform_int_distribution<int>(0, 1)(actions_));
        if (!panel || !panel->isVisible()) {
            continue;
        }
        switch (std::uniform_int_distribution<int>(0, 5)(actions_)) {
        case 0:
            QTest::mouseClick(panel->CheckBoxBlockKeyboard, Qt::LeftButton, {}, {5, 8});
            break;
        case 1:
            // The output switch of the first instrument, the kind that has one.
            QTest::mouseClick(main_->panelOf(0)->MainImage, Qt::LeftButton, {}, {208, 104});
            break;
        default: {
            const panel::KeyArea& area =
                panel::keyArea(keys[std::uniform_int_distribution<int>(0, 3)(actions_)]);
            const QPoint centre((area.left + area.right) / 2,
                                (panel::kKeyRowTop + panel::kKeyRowBottom) / 2);
            QTest::mouseClick(panel->MainImage, Qt::LeftButton, {}, centre);
        }
        }
    }
}

std::vector<sim::SampleAnswer> Soak::runGraph(graphs::TFormGraphic& window, seconds lasting,
                                              const char* running) {
    sim::InstrumentHandle first = session_->line.bus.instrument(kFirst);
    first.update([](sim::Instrument& i) {
        i.sampleAnswers.clear();
        i.logSampleAnswers = true;
    });
    loopWatch_.setActivity("\"Пуск\" of a graph");
    window.BitBtnPuskStop->click();
    loopWatch_.setActivity(running);
    if (!waitFor([&] { return window.running(); }, 5s)) {
        fail("a graph did not start at \"Пуск\"");
    }
    pause(lasting);
    loopWatch_.setActivity("\"Стоп\" of a graph");
    if (window.running()) {
        window.BitBtnPuskStop->click();
    }
    loopWatch_.setActivity("a graph stopped");
    waitFor([&] { return !window.running() && !link::graphReadBusy; }, 10s);
    const auto stoppedAt = Clock::now();
    auto answers = first.update([](sim::Instrument& i) {
        i.logSampleAnswers = false;
        return std::exchange(i.sampleAnswers, {});
    });
    std::erase_if(answers, [&](const sim::SampleAnswer& a) { return a.at > stoppedAt; });
    waitFor([] { return link::runningWorkers() == 0; }, 10s);
    if (!graphs::waitForFinishingRecordings(30s)) {
        fail("a recording was still being finished 30 s after \"Стоп\"");
    }
    return answers;
}

// Opens a graph window from the menu. One that found the instrument silent (a fault spell) says
// so in its caption and waits to be closed; a user closes it and tries again.
graphs::TFormGraphic* Soak::openGraph(QAction* item) {
    for (int attempt = 1; attempt <= 5; ++attempt) {
        // Also before another try: the port may go while the silent window is closed.
        waitForSteadyPort();
        phase_ = Phase::Graph;
        loopWatch_.setActivity("a graph window opened");
        item->trigger();
        const auto window = graphs::FormGraphic;
        if (!window) {
            break;
        }
        const bool ready = waitFor(
            [&] {
                return !window || window->BitBtnPuskStop->isEnabled() ||
                       window->windowTitle().endsWith(graphs::TFormGraphic::kSilentSuffix);
            },
            30s);
        if (window && window->BitBtnPuskStop->isEnabled()) {
            checkScale();
            return window;
        }
        if (!ready || !window) {
            break;
        }
        closeGraph(*window);
        waitFor([this] { return !spell_; }, 30s);
    }
    std::printf("  the graph window gave up");
    printLineEventsAround(Clock::now());
    fail("a graph window could not get the instrument ready" +
         (graphs::FormGraphic ? ": " + graphs::FormGraphic->windowTitle().toStdString()
                              : std::string(", it closed")));
    if (graphs::FormGraphic) {
        closeGraph(*graphs::FormGraphic);
    }
    return nullptr;
}

// A graph scaled otherwise than the instrument's decimals records every value out by a power of
// ten; the requests since the window opened show how it came to that.
void Soak::checkScale() {
    if (link::graphDecimals == kDecimals) {
        return;
    }
    std::string sent;
    for (const sim::TrafficRecord& record : session_->line.server->traffic()) {
        sent += " |" + hexOf(record.bytes);
    }
    fail("a graph took " + std::to_string(link::graphDecimals) + " decimals of an instrument " +
         "that has " + std::to_string(kDecimals) + "; the requests since it opened:" + sent);
}

void Soak::recordThreshold(seconds lasting) {
    graphs::TFormGraphic* opened = openGraph(main_->MainPopupMenu->NGraphicPlus);
    if (!opened) {
        return;
    }
    graphs::TFormGraphic& window = *opened;
    // Below every reading, also once the keys pressed on the panels set zero and tare.
    window.cbMinViewValue->setCurrentText(QStringLiteral("-99999"));
    // Two runs, the second started at once: within the same minute as a rule.
    QString lastFile;
    for (const seconds run : {lasting, lasting / 4}) {
        const auto answers = runGraph(window, run, "a threshold graph running");
        lastFile = window.autoSaveFileName();
        checkThresholdFile(lastFile, answers, window.Graphic);
        ++thresholdRuns_;
    }
    // Saved by hand and loaded back, then the automatic file loaded.
    const QString saved = files_.filePath(QStringLiteral("saved %1.txt").arg(thresholdRuns_));
    window.chooseSaveFile = [&] { return saved; };
    loopWatch_.setActivity("a graph saved by hand");
    window.NSaveDataGraphClick();
    waitFor([] { return link::runningWorkers() == 0; }, 10s);
    const qsizetype plotted = window.Graphic.count();
    checkLoadsBackWhole(window, saved, plotted);
    checkLoadsBackWhole(window, lastFile, plotted);
    closeGraph(window);
}

void Soak::checkThresholdFile(const QString& path, const std::vector<sim::SampleAnswer>& answers,
                              const chart::LineSeries& plotted) {
    QFile file(path);
    // A run whose readings were all lost to a fault plotted nothing and made no file.
    const LineExcuses excuses{kReadTimeout / 2, kReadTimeout, portDepartures_};
    if (!file.exists() && checkRecording(answers, {}, excuses).required <= 1) {
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        fail("the threshold recording " + path.toStdString() + " cannot be read");
        return;
    }
    std::vector<std::int32_t> values;
    const double scale = std::pow(10.0, kDecimals);
    graphs::readGraphFile(file, 1, [&](const graphs::GraphFileLine& line) {
        values.push_back(line.values.front()
                             ? std::int32_t(std::lround(*line.values.front() * scale))
                             : std::numeric_limits<std::int32_t>::min());
    });
    const RecordingCheck check = checkRecording(answers, values, excuses);
    answered_ += int(answers.size());
    requiredReadings_ += check.required;
    recorded_ += check.recorded;
    if (!check.exact()) {
        std::printf("  the first answers and lines:");
        for (std::size_t i = 0; i < std::min<std::size_t>(answers.size(), 5); ++i) {
            std::printf(" %d", answers[i].value);
        }
        std::printf(" |");
        for (std::size_t i = 0; i < std::min<std::size_t>(values.size(), 5); ++i) {
            std::printf(" %d", values[i]);
        }
        std::printf("\n");
        if (check.firstMissing) {
            const std::int32_t missing = answers[*check.firstMissing].value;
            bool shown = false;
            for (qsizetype i = 0; i < plotted.count(); ++i) {
                shown = shown || std::lround(plotted.y(i) * scale) == missing;
            }
            std::printf("  the window plotted %lld points of the %zu lines, %s the missing one\n",
                        static_cast<long long>(plotted.count()), values.size(),
                        shown ? "among them" : "not");
            std::printf("  the first missing reading was answered");
            printLineEventsAround(answers[*check.firstMissing].at);
        }
        fail(path.toStdString() + ": " + std::to_string(check.missing) + " readings missing, " +
             std::to_string(check.unsent) + " lines not sent; first: " + check.firstFault);
    }
}

void Soak::noteLineEvent(Clock::time_point at, std::string what) {
    lineEvents_.emplace_back(at, std::move(what));
}

// The bytes as " 0a ec ...".
std::string Soak::hexOf(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", byte);
        text += hex;
    }
    return text;
}

void Soak::printLineEventsAround(Clock::time_point at) {
    const auto secondsOf = [this](Clock::time_point t) {
        return std::chrono::duration<double>(t - startedAt_).count();
    };
    std::printf("  at %.3f s; on the line around it:", secondsOf(at));
    for (const auto& [when, what] : lineEvents_) {
        if (when > at - 10s && when < at + 5s) {
            std::printf(" | %.3f s %s", secondsOf(when), what.c_str());
        }
    }
    std::printf("\n  requests around it:");
    for (const sim::TrafficRecord& record : session_->line.server->traffic()) {
        if (record.at > at - 500ms && record.at < at + 500ms) {
            std::printf(" | %.3f s%s", secondsOf(record.at), hexOf(record.bytes).c_str());
        }
    }
    std::printf("\n");
}

void Soak::checkLoadsBackWhole(graphs::TFormGraphic& window, const QString& path, qsizetype lines) {
    window.chooseOpenFile = [&] { return path; };
    loopWatch_.setActivity("a graph file loaded");
    window.NLoadDataGraphClick();
    waitFor([&] { return window.Graphic.count() == lines && link::runningWorkers() == 0; }, 10s);
    if (window.Graphic.count() != lines) {
        fail(path.toStdString() + " loads back " + std::to_string(window.Graphic.count()) +
             " points of " + std::to_string(lines));
    }
}

void Soak::recordHumidity(seconds lasting) {
    graphs::TFormGraphic* opened = openGraph(main_->MainPopupMenu->NGraphicVlazhnAndTemperatura);
    if (!opened) {
        return;
    }
    graphs::TFormGraphic& window = *opened;
    // The file is written whole again every few seconds instead of every five minutes.
    window.TimerAutoSave.setInterval(5000);
    runGraph(window, lasting, "a humidity graph running");
    ++humidityRuns_;
    // Each point is an average of the readings of a period, so the file is held against the
    // window's points: each once, and the file loads back whole.
    const qsizetype plotted = window.Graphic.count();
    QFile file(window.autoSaveFileName());
    qsizetype lines = 0;
    if (file.open(QIODevice::ReadOnly)) {
        graphs::readGraphFile(file, 1, [&](const graphs::GraphFileLine&) { ++lines; });
    }
    if (lines != plotted) {
        fail("humidity recording " + window.autoSaveFileName().toStdString() + " has " +
             std::to_string(lines) + " lines for " + std::to_string(plotted) + " points");
    }
    checkLoadsBackWhole(window, window.autoSaveFileName(), plotted);
    closeGraph(window);
}

void Soak::closeGraph(graphs::TFormGraphic& window) {
    if (window.running()) {
        window.BitBtnPuskStop->click();
    }
    waitFor([] { return link::runningWorkers() == 0; }, 10s);
    loopWatch_.setActivity("a graph window closed");
    window.BitBtnCloseGraphic->click();
    if (!waitFor([] { return !graphs::FormGraphic && !link::graphWindowOpen; }, 30s)) {
        fail("a graph window did not close at \"Выход\"");
    }
    phase_ = Phase::Panels;
}

void Soak::sweepOnce() {
    waitForSteadyPort();
    phase_ = Phase::Sweep;
    loopWatch_.setActivity("the sweep window opened");
    main_->MainPopupMenu->NAChH->trigger();
    if (!graphs::fmGraphicAChH ||
        !waitFor([] { return graphs::fmGraphicAChH->BitBtnCloseGraphic->isEnabled(); }, 30s)) {
        fail("the sweep window did not get ready");
        return;
    }
    graphs::TfmGraphicAChH& window = *graphs::fmGraphicAChH;
    // "No" to the question at the end: the curve stays unsaved.
    window.runMessageBox = [](QMessageBox& box) {
        return box.icon() == QMessageBox::Question ? int(QMessageBox::No) : int(QMessageBox::Ok);
    };
    window.cbMinNapr->setCurrentText(QStringLiteral("0.1"));
    window.cbMaxNapr->setCurrentText(QStringLiteral("0.5"));
    window.cbStep->setCurrentText(QStringLiteral("0.10"));
    window.cbPause->setCurrentText(QStringLiteral("0.1"));
    if (window.BitBtnPuskStop->isEnabled()) {
        loopWatch_.setActivity("a sweep");
        window.BitBtnPuskStop->click();
        waitFor([&] { return !window.running(); }, 120s);
        ++sweeps_;
    }
    loopWatch_.setActivity("the sweep window closed");
    window.BitBtnCloseGraphic->click();
    if (!waitFor([] { return !graphs::fmGraphicAChH && !link::graphWindowOpen; }, 30s)) {
        fail("the sweep window did not close at \"Выход\"");
    }
    phase_ = Phase::Panels;
}

void Soak::onTick() {
    const auto now = Clock::now();
    turnFaults(now);
    turnPort(now);
    lookForReconnect(now);
    closeStrayDialogs();
    const ProcessFigures figures = processFigures();
    peak_.residentBytes = std::max(peak_.residentBytes, figures.residentBytes);
    peak_.threads = std::max(peak_.threads, figures.threads);
    peak_.openFiles = std::max(peak_.openFiles, figures.openFiles);
}

void Soak::turnFaults(Clock::time_point now) {
    if (spell_ && now >= spellEndsAt_) {
        session_->line.bus.instrument(spell_->address).setFaults({});
        noteLineEvent(now, "spell over");
        nextSpellAt_ = now + spell_->pauseAfter;
        spell_.reset();
    }
    if (!spell_ && now >= nextSpellAt_) {
        spell_ = schedule_.nextSpell();
        session_->line.bus.instrument(spell_->address).setFaults(spell_->faults);
        spellEndsAt_ = now + spell_->lasting;
        ++spells_;
        noteLineEvent(now, nameOf(spell_->kind) + " of " + std::to_string(spell_->address));
    }
}

void Soak::turnPort(Clock::time_point now) {
    // The port goes away under the panels and under a running graph, as adapters do.
    const bool mayGo = phase_ == Phase::Panels || (phase_ == Phase::Graph && graphs::FormGraphic &&
                                                   graphs::FormGraphic->running());
    if (!portAway_ && !awaitedReconnect_ && mayGo && now >= portGoesAt_) {
        if (takePortAway()) {
            portAway_ = true;
            ++vanished_;
            portDepartures_.push_back(now);
            noteLineEvent(now, "port gone");
            portReturnsAt_ = now + schedule_.nextPortAbsence();
        }
    } else if (portAway_ && now >= portReturnsAt_) {
        if (bringPortBack()) {
            portAway_ = false;
            awaitedReconnect_ = now;
            noteLineEvent(now, "port back");
            portGoesAt_ = now + schedule_.nextPortPresence();
        }
    }
}

bool Soak::takePortAway() {
    if (ser2net_) {
        ser2net_->stop();
        return true;
    }
    session_->line.server->vanish();
    return true;
}

bool Soak::bringPortBack() {
    if (ser2net_) {
        return ser2net_->start();
    }
    return session_->line.server->restore();
}

// The program is back when the panels unlock the first instrument's keyboard or poll it again,
// or a graph reads it again.
void Soak::lookForReconnect(Clock::time_point now) {
    if (!awaitedReconnect_) {
        return;
    }
    const auto unlock = testing::request(kFirst, link::kServiceCode, link::kUnlockKeyboard);
    for (const sim::TrafficRecord& record : session_->line.server->traffic()) {
        if (record.at > *awaitedReconnect_ &&
            (isRead(record.bytes, kFirst) || record.bytes == unlock)) {
            ++reconnected_;
            awaitedReconnect_.reset();
            return;
        }
    }
    if (now - *awaitedReconnect_ > kReconnectBound) {
        fail("no reconnect within 30 s after the port came back");
        awaitedReconnect_.reset();
    }
}

// Before a window opens or closes the port is there and found again, and the line's record of
// requests is emptied, so it does not grow for hours.
void Soak::waitForSteadyPort() {
    waitFor([this] { return !portAway_ && !awaitedReconnect_; }, 60s);
    session_->line.server->clearTraffic();
}

// A modal message would stop a user until answered; the soak answers it and says so.
void Soak::closeStrayDialogs() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) {
        return;
    }
    const auto* box = qobject_cast<QMessageBox*>(modal);
    std::printf("a dialog came up and was closed: %s\n",
                box ? box->text().toStdString().c_str()
                    : modal->windowTitle().toStdString().c_str());
    ++strayDialogs_;
    modal->close();
}

void Soak::noteFigures() {
    const auto now = Clock::now();
    const ProcessFigures figures = processFigures();
    atEnd_ = {now, figures};
    if (!atMark_ && now - startedAt_ >= std::min<Clock::duration>(10min, options_.length / 3)) {
        atMark_ = atEnd_;
    }
}

void Soak::fail(const std::string& what) {
    std::printf("FAULT: %s\n", what.c_str());
    std::fflush(stdout);
    failures_.push_back(what);
}

bool Soak::report() const {
    const double hours = std::chrono::duration<double>(Clock::now() - startedAt_).count() / 3600;
    std::printf("\nsoak of %.1f min, seed %llu%s\n", hours * 60,
                static_cast<unsigned long long>(options_.seed),
                options_.network ? ", through ser2net (rfc2217://)" : ", on the pty");
    std::printf("  runs: %d threshold, %d humidity, %d sweeps; %d fault spells\n", thresholdRuns_,
                humidityRuns_, sweeps_, spells_);
    std::printf("  threshold recordings: %d readings answered whole and in time, %d lines "
                "recorded (%d answers in all)\n",
                requiredReadings_, recorded_, answered_);
    std::printf("  memory: %s at the start, %s at the end, %s at the peak; on the heap %s in use "
                "at the start, %s at the end\n",
                megabytes(atStart_.residentBytes).c_str(),
                megabytes(atEnd_.second.residentBytes).c_str(),
                megabytes(peak_.residentBytes).c_str(), megabytes(atStart_.heapInUseBytes).c_str(),
                megabytes(atEnd_.second.heapInUseBytes).c_str());
    std::size_t faults = failures_.size(); // and the figures' own below
    if (atMark_ && atEnd_.first > atMark_->first) {
        const double span = std::chrono::duration<double>(atEnd_.first - atMark_->first).count();
        const double perHour =
            double(atEnd_.second.residentBytes - atMark_->second.residentBytes) * 3600 / span;
        const double heapPerHour =
            double(atEnd_.second.heapInUseBytes - atMark_->second.heapInUseBytes) * 3600 / span;
        std::printf("  memory growth with every window closed, after the first %.0f min: "
                    "%.2f MB an hour resident, %.2f MB an hour in use on the heap (no points are "
                    "held then)%s\n",
                    std::chrono::duration<double>(atMark_->first - startedAt_).count() / 60,
                    perHour / (1 << 20), heapPerHour / (1 << 20),
                    span >= 20 * 60 ? "" : ", not judged over so short a time");
        // Under twenty minutes apart the heap's own wandering outweighs any rate.
        if (span >= 20 * 60 && perHour > kAllowedGrowthPerHour) {
            std::printf("  FAULT: memory grows more than %.0f MB an hour\n",
                        kAllowedGrowthPerHour / (1 << 20));
            ++faults;
        }
    }
    std::printf("  threads: %d at the start, %d at the end, %d at the peak\n", atStart_.threads,
                atEnd_.second.threads, peak_.threads);
    std::printf("  open files: %d at the start, %d at the end, %d at the peak\n",
                atStart_.openFiles, atEnd_.second.openFiles, peak_.openFiles);
    // Compared once every window has been open once, so that what is made at first use counts
    // as the start.
    const ProcessFigures& settled = atMark_ ? atMark_->second : atStart_;
    if (atEnd_.second.threads > settled.threads || atEnd_.second.openFiles > settled.openFiles) {
        std::printf("  FAULT: threads or open files left behind\n");
        ++faults;
    }
    std::printf("  longest event-loop gap: %.1f ms (goal %.0f ms), during %s, at %lld s; an idle "
                "thread stalled %.1f ms of it; %d gaps over 50 ms\n",
                loopWatch_.longestGapMs(), kLongestGapGoalMs, loopWatch_.longestGapDuring(),
                loopWatch_.longestGapAtS(), loopWatch_.longestGapSharedMs(),
                loopWatch_.gapsOver50Ms());
    if (loopWatch_.longestGapMs() > kLongestGapGoalMs) {
        std::printf("  %s: the window did not answer for longer than the goal\n",
                    options_.judgeGap ? "FAULT" : "over the goal (not judged)");
        faults += options_.judgeGap ? 1 : 0;
    }
    std::printf("  port gone %d times, reconnected %d times\n", vanished_, reconnected_);
    if (vanished_ != reconnected_) {
        std::printf("  FAULT: the program did not come back every time the port did\n");
        ++faults;
    }
    std::printf("  dialogs that came up unasked: %d\n", strayDialogs_);
    std::printf("%s: %zu faults\n", faults == 0 ? "PASSED" : "FAILED", faults);
    return faults == 0;
}

} // namespace zorvan::soak
