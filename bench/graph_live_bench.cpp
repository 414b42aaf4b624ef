// The dynamic graph live against the simulator paced at 9600 bit/s with the shortest read period:
// how many readings a second it plots against what the line itself allows (one code-152
// exchange after another), and the longest time the user-interface thread was not there for
// its event loop meanwhile. Prints figures; asserts nothing.
#include "app/window_launchers.h"
#include "graphs/graph_window.h"
#include "link/command_codes.h"
#include "link/device_state.h"
#include "link/exchange.h"
#include "tests/support/panel_session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstdio>

namespace {

using namespace std::chrono;
using zorvan::testing::PanelSession;

constexpr int kBaud = 9600;
constexpr std::uint8_t kAddress = 10;
constexpr int kLineExchanges = 100;
constexpr int kRunMs = 10'000;

// Readings per second of back-to-back reads on the paced line, no program around them.
double lineLimit() {
    zorvan::testing::SimulatedLine line(kBaud);
    line.add(kAddress, {10, 43, 5, 7});
    line.open(200);
    std::uint8_t answer[6]{};
    const auto from = steady_clock::now();
    for (int i = 0; i < kLineExchanges; ++i) {
        zorvan::link::ReadData(zorvan::link::kDataReadBits | kAddress, zorvan::link::kSampleCode, 3,
                               answer);
    }
    const double seconds = duration<double>(steady_clock::now() - from).count();
    return kLineExchanges / seconds;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const double limit = lineLimit();

    PanelSession session(kBaud);
    session.line.add(kAddress, {10, 43, 5, 7});
    zorvan::testing::SessionSettings settings;
    auto& main = session.start(settings);
    session.waitForPollCycles(1);
    zorvan::app::installWindowLaunchers(main);
    main.MainPopupMenu->NGraphic->trigger();
    auto* graph = zorvan::graphs::FormGraphic.data();
    PanelSession::waitFor([&] { return graph->BitBtnPuskStop->isEnabled(); });
    graph->cbOkno->setCurrentText(QStringLiteral("100000"));
    graph->cbReadPeriod->setCurrentText(QStringLiteral("0.02"));

    // A 1 ms timer: any gap between its turns is time the event loop was kept from running.
    QElapsedTimer sinceTick;
    qint64 longestGapUs = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longestGapUs = std::max(longestGapUs, sinceTick.nsecsElapsed() / 1000);
        sinceTick.restart();
    });

    graph->BitBtnPuskStop->click();
    PanelSession::waitFor([&] { return graph->running(); });
    const std::int32_t firstPoint = graph->graphPointNumber();
    const auto from = steady_clock::now();
    sinceTick.start();
    tick.start();
    PanelSession::waitFor([] { return false; }, kRunMs);
    tick.stop();
    const double seconds = duration<double>(steady_clock::now() - from).count();
    const double rate = (graph->graphPointNumber() - firstPoint) / seconds;

    std::printf("line limit (back-to-back code-152 reads at %d bit/s): %.2f readings/s\n", kBaud,
                limit);
    std::printf("graph at period 0.02: %.2f readings/s (%.0f %% of the line), %d turns missed\n",
                rate, 100.0 * rate / limit, graph->missedReads());
    std::printf("longest event-loop gap while plotting: %.2f ms\n", longestGapUs / 1000.0);

    graph->BitBtnPuskStop->click();
    PanelSession::waitFor([] { return !zorvan::link::graphReadBusy; });
    graph->BitBtnCloseGraphic->click();
    PanelSession::waitFor([] { return !zorvan::graphs::FormGraphic; });
    return 0;
}
