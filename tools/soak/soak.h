#pragma once

// The real windows driven for a long time as an engineer on a bench drives them, against the
// simulated instruments on a pseudo-terminal (or through ser2net), with the line's faults
// beneath: the panels polling and their keys pressed, the threshold and humidity graphs
// recording, the sweep, windows opened and closed, and the port going away and coming back.
// It holds every recording against what the line carried and watches memory, threads, open
// files, the event loop and the reconnects.

#include "sim/instrument.h"
#include "tools/soak/event_loop_watch.h"
#include "tools/soak/fault_schedule.h"
#include "tools/soak/process_figures.h"

#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <random>

class QAction;

namespace zorvan::testing {
class PanelSession;
class Ser2netServer;
} // namespace zorvan::testing

namespace zorvan::panel {
class TMainFormTestIndZorvan4;
}

namespace zorvan::graphs {
class TFormGraphic;
}

namespace zorvan::chart {
class LineSeries;
}

namespace zorvan::soak {

struct SoakOptions {
    std::chrono::seconds length;
    std::uint64_t seed = 0;
    bool network = false; // through ser2net and rfc2217:// instead of the pty itself
    bool judgeGap = true; // a longest event-loop gap over the goal fails the soak
};

class Soak {
public:
    explicit Soak(const SoakOptions& options);
    ~Soak();

    // Runs the soak and prints its figures; true when every one of them held. False with one
    // line on stderr when it cannot start.
    bool run();

private:
    enum class Phase { Setup, Panels, Graph, Sweep };
    using Clock = std::chrono::steady_clock;

    bool startLine();
    void pressAround(std::chrono::seconds lasting);
    graphs::TFormGraphic* openGraph(QAction* item);
    void checkScale();
    void recordThreshold(std::chrono::seconds lasting);
    void recordHumidity(std::chrono::seconds lasting);
    void sweepOnce();

    // One run of an open graph window from "Пуск" to "Стоп"; the readings answered meanwhile.
    // `running` names the run in the report of the longest event-loop gap.
    std::vector<sim::SampleAnswer> runGraph(graphs::TFormGraphic& window,
                                            std::chrono::seconds lasting, const char* running);
    void checkThresholdFile(const QString& path, const std::vector<sim::SampleAnswer>& answers,
                            const chart::LineSeries& plotted);
    void checkLoadsBackWhole(graphs::TFormGraphic& window, const QString& path, qsizetype lines);
    void closeGraph(graphs::TFormGraphic& window);

    void onTick();
    void turnFaults(Clock::time_point now);
    void turnPort(Clock::time_point now);
    void lookForReconnect(Clock::time_point now);
    bool takePortAway();
    bool bringPortBack();
    void waitForSteadyPort();
    void closeStrayDialogs();
    void noteFigures();
    void noteLineEvent(Clock::time_point at, std::string what);
    void printLineEventsAround(Clock::time_point at);
    static std::string hexOf(const std::vector<std::uint8_t>& bytes);
    void fail(const std::string& what);
    bool report() const;

    SoakOptions options_;
    std::chrono::seconds stretch_;
    std::unique_ptr<testing::PanelSession> session_;
    std::unique_ptr<testing::Ser2netServer> ser2net_;
    panel::TMainFormTestIndZorvan4* main_ = nullptr;
    QTemporaryDir files_;
    std::string portName_;
    FaultSchedule schedule_;
    std::mt19937_64 actions_;
    QTimer ticker_;
    EventLoopWatch loopWatch_;
    Phase phase_ = Phase::Setup;
    Clock::time_point startedAt_;

    // Faults and the port.
    std::optional<FaultSpell> spell_;
    Clock::time_point spellEndsAt_;
    Clock::time_point nextSpellAt_;
    Clock::time_point portGoesAt_;
    Clock::time_point portReturnsAt_;
    bool portAway_ = false;
    std::optional<Clock::time_point> awaitedReconnect_; // when the port came back
    // What happened on the line and when, to show what lay around a fault of a recording.
    std::vector<std::pair<Clock::time_point, std::string>> lineEvents_;
    std::vector<Clock::time_point> portDepartures_;
    int spells_ = 0;
    int vanished_ = 0;
    int reconnected_ = 0;

    // Figures.
    ProcessFigures atStart_;
    ProcessFigures peak_;
    std::optional<std::pair<Clock::time_point, ProcessFigures>> atMark_;
    std::pair<Clock::time_point, ProcessFigures> atEnd_;
    int thresholdRuns_ = 0;
    int humidityRuns_ = 0;
    int sweeps_ = 0;
    int answered_ = 0;
    int recorded_ = 0;
    int requiredReadings_ = 0;
    int strayDialogs_ = 0;
    std::vector<std::string> failures_;
};

} // namespace zorvan::soak
