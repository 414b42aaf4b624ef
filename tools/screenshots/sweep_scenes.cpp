// The frequency-response window: ready, after three sweeps with a reference curve laid over them,
// and with instrument 1 silent.
#include "app/window_launchers.h"
#include "graphs/curve_file.h"
#include "graphs/sweep_window.h"
#include "link/device_state.h"
#include "tools/screenshots/scene_pictures.h"
#include "tools/screenshots/scenes.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

namespace zorvan::screenshots {

namespace {

using graphs::fmGraphicAChH;
using graphs::TfmGraphicAChH;
using panel::TMainFormTestIndZorvan4;
using testing::PanelSession;

TfmGraphicAChH* openSweep(PanelSession& session, TMainFormTestIndZorvan4& window) {
    session.waitForPollCycles(1);
    app::installWindowLaunchers(window);
    window.MainPopupMenu->NAChH->trigger();
    PanelSession::waitFor([] { return fmGraphicAChH->BitBtnCloseGraphic->isEnabled(); });
    fmGraphicAChH->runMessageBox = [](QMessageBox&) { return int(QMessageBox::No); };
    QTest::qWait(300); // the opening animation
    return fmGraphicAChH.data();
}

void exitSweep(TfmGraphicAChH& sweep) {
    sweep.BitBtnCloseGraphic->click();
    PanelSession::waitFor([] { return !fmGraphicAChH && !link::graphWindowOpen; });
}

// A resonance curve such as a reference sensor gives, in a curve file.
void writeReferenceCurve(const QString& path) {
    std::vector<graphs::CurvePoint> points;
    for (int step = 0; step <= 50; ++step) {
        const double volts = step * 0.1;
        points.push_back({volts, 30.0 + 12.0 / (1.0 + (volts - 2.2) * (volts - 2.2))});
    }
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(graphs::curveFileBytes(points));
    }
}

} // namespace

void sweepScenes() {
    withSession([&](PanelSession& session) {
        session.line.add(10, {10, 43, 5, 7}).setReading(45.0);
        session.line.instrument(10).setDecimals(2);
        auto* sweep = openSweep(session, session.start(quickPoll()));
        save(*sweep, QStringLiteral("sweep_ready"));

        sweep->cbStep->setCurrentText(QStringLiteral("0.20"));
        sweep->cbPause->setCurrentText(QStringLiteral("0.1"));
        for (const double humidity : {44.0, 45.0, 46.0}) {
            session.line.instrument(10).setReading(humidity);
            sweep->BitBtnPuskStop->click();
            PanelSession::waitFor([&] { return !sweep->running(); }, 60000);
        }
        const QTemporaryDir folder;
        const QString reference = folder.filePath(QStringLiteral("reference.txt"));
        writeReferenceCurve(reference);
        sweep->runFileDialog = [reference](QFileDialog&) { return reference; };
        sweep->NLoadDataGraphDopClick(3);
        QTest::qWait(50);
        save(*sweep, QStringLiteral("sweep_three_scans_and_overlay"));
        exitSweep(*sweep);
    });
    withSession([&](PanelSession& session) {
        sim::Faults silent;
        silent.silent = true;
        session.line.add(10, {10, 43, 5, 7}).setFaults(silent);
        auto* sweep = openSweep(session, session.start(quickPoll()));
        save(*sweep, QStringLiteral("sweep_instrument_silent"));
        exitSweep(*sweep);
    });
}

} // namespace zorvan::screenshots
