// The graph window in its three modes.
#include "app/window_launchers.h"
#include "graphs/graph_window.h"
#include "link/device_state.h"
#include "link/worker_threads.h"
#include "settings/settings_variables.h"
#include "tools/screenshots/scene_pictures.h"
#include "tools/screenshots/scenes.h"

#include <QTest>
#include <cmath>

namespace zorvan::screenshots {

namespace {

using graphs::FormGraphic;
using graphs::TFormGraphic;
using panel::TMainFormTestIndZorvan4;
using testing::PanelSession;
using testing::SessionSettings;

// The dynamic graph: ready, running on two instruments, and with instrument 1 silent.
void dynamicGraph() {
    const auto openGraph = [](PanelSession& session, TMainFormTestIndZorvan4& window) {
        session.waitForPollCycles(1);
        app::installWindowLaunchers(window);
        window.MainPopupMenu->NGraphic->trigger();
        PanelSession::waitFor([] {
            return FormGraphic->BitBtnPuskStop->isEnabled() ||
                   FormGraphic->windowTitle().endsWith(TFormGraphic::kSilentSuffix);
        });
        QTest::qWait(300); // the opening animation
        return FormGraphic.data();
    };
    const auto exitGraph = [](TFormGraphic& graph) {
        graph.BitBtnCloseGraphic->click();
        PanelSession::waitFor([] { return !FormGraphic; });
    };
    withSession([&](PanelSession& session) {
        session.line.add(10, {10, 43, 5, 7});
        session.line.add(11, {10, 80, 1, 2}).setReading(44.0);
        SessionSettings settings = quickPoll();
        settings.addresses = {10, 11, 0, 0, 0, 0};
        auto* graph = openGraph(session, session.start(settings));
        save(*graph, QStringLiteral("graph_ready"));
        graph->cbReadPeriod->setCurrentText(QStringLiteral("0.02"));
        graph->BitBtnPuskStop->click();
        PanelSession::waitFor([&] { return graph->Graphic.count() >= 100; }, 20000);
        QTest::qWait(50);
        save(*graph, QStringLiteral("graph_running_two_instruments"));
        graph->BitBtnPuskStop->click();
        PanelSession::waitFor([] { return !link::graphReadBusy; });
        exitGraph(*graph);
    });
    withSession([&](PanelSession& session) {
        sim::Faults silent;
        silent.silent = true;
        session.line.add(10, {10, 43, 5, 7}).setFaults(silent);
        link::deviceModeState = 1;
        auto* graph = openGraph(session, session.start(quickPoll()));
        save(*graph, QStringLiteral("graph_instrument_silent"));
        exitGraph(*graph);
    });
}

// Opens the graph of `item`, starts it and takes its read timer away: the scene hands in the
// readings.
TFormGraphic& openFed(PanelSession& session, TMainFormTestIndZorvan4& window, QAction* item) {
    session.waitForPollCycles(1);
    app::installWindowLaunchers(window);
    item->trigger();
    PanelSession::waitFor([] { return FormGraphic->BitBtnPuskStop->isEnabled(); });
    TFormGraphic& graph = *FormGraphic;
    graph.BitBtnPuskStop->click();
    PanelSession::waitFor([&] { return graph.running(); });
    graph.TimerGraphic.stop();
    PanelSession::waitFor([] { return !link::graphReadBusy; });
    QTest::qWait(300); // the opening animation
    return graph;
}

void stopAndExit(TFormGraphic& graph) {
    graph.BitBtnPuskStop->click();
    link::waitForWorkers(std::chrono::seconds(5));
    graph.BitBtnCloseGraphic->click();
    PanelSession::waitFor([] { return !FormGraphic; });
}

// The threshold graph with the context it keeps around two excursions.
void thresholdGraph() {
    withSession([&](PanelSession& session) {
        session.line.add(10, {10, 43, 5, 7});
        auto& window = session.start(quickPoll());
        TFormGraphic& graph = openFed(session, window, window.MainPopupMenu->NGraphicPlus);
        const double scale = link::graphScale;
        int step = 0;
        const auto feed = [&](double value) {
            graph.TimerViewDataGraphicTimer(
                {static_cast<std::int32_t>(std::lround((value + (step++ % 7)) / scale)), 0, 0, 0});
        };
        for (int excursion = 0; excursion < 2; ++excursion) {
            for (int i = 0; i < 30; ++i) {
                feed(60);
            }
            for (int i = 0; i < 12; ++i) {
                feed(110 + 60 * std::sin(i / 3.0));
            }
        }
        save(graph, QStringLiteral("graph_threshold_with_context"));
        // The adapter pulled out under the running graph: the next read turn finds the port gone.
        session.line.server->vanish();
        graph.TimerGraphicTimer();
        PanelSession::waitFor(
            [&] { return graph.windowTitle().endsWith(TFormGraphic::kSilentSuffix); });
        save(graph, QStringLiteral("graph_threshold_port_gone"));
        stopAndExit(graph);
    });
}

// The humidity graph with its figures and the bar in each of its colours.
void humidityGraph() {
    withSession([&](PanelSession& session) {
        session.line.add(10, {10, 80, 1, 2});
        auto& window = session.start(quickPoll());
        using namespace settings;
        refreshPeriodSeconds = 1;
        indicatorShown = true;
        indicatorColoured = true;
        signalRangeFixed = false;
        limitTU2 = 40;
        limitTU1 = 43;
        limitTO1 = 47;
        limitTO2 = 50;
        TFormGraphic& graph =
            openFed(session, window, window.MainPopupMenu->NGraphicVlazhnAndTemperatura);
        const double scale = link::graphScale;
        const struct {
            double humidity;
            const char* colour;
        } scenes[] = {{45.2, "green"}, {48.6, "yellow"}, {51.3, "red"}};
        int minute = 0;
        for (const auto& scene : scenes) {
            for (int i = 0; i < 40; ++i, ++minute) {
                const double humidity = scene.humidity + 0.4 * std::sin(minute / 5.0);
                graph.TimerViewDataGraphicTimer(
                    {static_cast<std::int32_t>(std::lround(humidity / scale)), 0, 2340 + minute % 9,
                     2480 - minute % 7});
            }
            save(graph, QStringLiteral("graph_humidity_bar_") + QLatin1String(scene.colour));
        }
        stopAndExit(graph);
    });
}

} // namespace

void graphScenes() {
    dynamicGraph();
    thresholdGraph();
    humidityGraph();
}

} // namespace zorvan::screenshots
