// Rules of the graph window that a reading of the window's code alone would not catch: where the
// humidity sample's values lie in the answer, the save at "Стоп", the humidity keys written at
// "Выход", a reading equal to the threshold, the point colours, and the panels out of sight.
#include "app/window_launchers.h"
#include "graphs/graph_window.h"
#include "link/device_state.h"
#include "link/worker_threads.h"
#include "settings/keys.h"
#include "settings/settings_variables.h"
#include "settings/typed_settings.h"
#include "tests/gui/graphs/graph_fixture.h"
#include "tests/support/panel_session.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace zorvan::graphs {
namespace {

using testing::PanelSession;

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 128, 0);
const QColor kTeal(0, 128, 128);

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qsizetype lineCount(const QString& path) {
    return contentsOf(path).count("\r\n");
}

// The file once its writers have let it be for a while.
QByteArray settledContents(const QString& path) {
    QByteArray seen = contentsOf(path);
    for (int i = 0; i < 20; ++i) {
        QTest::qWait(50);
        const QByteArray now = contentsOf(path);
        if (now == seen) {
            return now;
        }
        seen = now;
    }
    return seen;
}

class GraphAuditTest : public GraphTest {
protected:
    static void feedHumidity(TFormGraphic& window, double humidity, int readings) {
        for (int i = 0; i < readings; ++i) {
            window.TimerViewDataGraphicTimer(
                {static_cast<std::int32_t>(std::lround(humidity / link::graphScale)), 0, 2345,
                 950});
        }
    }

    // Saves the graph to a file and loads it back into the same window.
    void saveAndLoad(TFormGraphic& window) {
        const QString path = files.filePath(QStringLiteral("graph.txt"));
        window.chooseSaveFile = [path] { return path; };
        window.NSaveDataGraphClick();
        ASSERT_TRUE(
            PanelSession::waitFor([&] { return lineCount(path) == window.Graphic.count(); }));
        window.chooseOpenFile = [path] { return path; };
        window.NLoadDataGraphClick();
    }
};

TEST_F(GraphAuditTest, HumiditySampleCarriesTemperature1ThenHumidityThenTemperature2) {
    auto& main = start(80);
    session.line.instrument(10).update([](sim::Instrument& instrument) {
        instrument.reading = {63.5, 21.5, 27.25, false};
    });
    settings::refreshPeriodSeconds = 1;
    settings::noRequestMode = false;
    auto& window = open(main.MainPopupMenu->NGraphicVlazhnAndTemperatura);
    window.BitBtnPuskStop->click();
    ASSERT_TRUE(PanelSession::waitFor([&] { return window.Graphic.count() >= 1; }, 8000));
    EXPECT_NEAR(window.Graphic.y(0), 63.5, 1e-9);
    EXPECT_NEAR(window.GraphicTemperatury.y(0), 21.5, 1e-9);
    EXPECT_NEAR(window.GraphicTemperatury2.y(0), 27.25, 1e-9);
    exit(window);
}

TEST_F(GraphAuditTest, HumidityStopSavesTheWholeGraphAndKeepsThePreviousWritingAsBackup) {
    auto& main = start(80);
    settings::refreshPeriodSeconds = 6;
    auto& window = open(main.MainPopupMenu->NGraphicVlazhnAndTemperatura);
    startFed(window);
    const QString file = window.autoSaveFileName();
    feedHumidity(window, 45, 6);
    window.TimerAutoSaveTimer(); // at 5 minutes
    feedHumidity(window, 46, 6);
    ASSERT_TRUE(PanelSession::waitFor([] { return link::runningWorkers() == 0; }));
    const QByteArray beforeStop = settledContents(file);
    ASSERT_FALSE(beforeStop.isEmpty());

    window.BitBtnPuskStop->click();
    EXPECT_TRUE(PanelSession::waitFor([&] {
        return lineCount(file) == 2 && contentsOf(file + QStringLiteral(".bak")) == beforeStop;
    })) << "the file holds both points and the backup what the file held before \"Стоп\"";
    exit(window);
}

TEST_F(GraphAuditTest, HumidityExitWritesTheChangedReferenceLevelAndListeningSwitch) {
    auto& main = start(80);
    settings::noRequestMode = false;
    auto& window = open(main.MainPopupMenu->NGraphicVlazhnAndTemperatura);
    ASSERT_EQ(window.edDopPole->text(), settings::realValueText);
    window.edDopPole->setText(QStringLiteral("12.5"));
    window.CheckBoxZaprosPr44->setChecked(true);
    exit(window);

    EXPECT_EQ(settings::readSetting(settings::kRealValue), "12.5");
    EXPECT_EQ(settings::realValueText, "12.5");
    EXPECT_TRUE(settings::readSetting(settings::kNoRequestMode));
    EXPECT_TRUE(settings::noRequestMode);
}

TEST_F(GraphAuditTest, ThresholdHoldsAReadingEqualToItAndPlotsRed) {
    // One decimal: 1000 tenths make exactly 100, where hundredths would land a rounding above.
    auto& main = start(44);
    auto& window = open(main.MainPopupMenu->NGraphicPlus);
    window.cbMinViewValue->setCurrentText(QStringLiteral("100"));
    startFed(window);
    const auto feed = [&](double value) {
        window.TimerViewDataGraphicTimer(
            {static_cast<std::int32_t>(std::lround(value / link::graphScale)), 0, 0, 0});
    };
    for (int i = 0; i < 25; ++i) {
        feed(100);
    }
    EXPECT_EQ(window.Graphic.count(), 10) << "only the first ten held readings are shown";
    EXPECT_EQ(window.Chart1->leftAxis().maximum(), 0.5) << "held readings leave the scale alone";
    feed(150);
    ASSERT_EQ(window.Graphic.count(), 21);
    for (qsizetype i = 0; i < window.Graphic.count(); ++i) {
        EXPECT_EQ(window.Graphic.colour(i), kRed) << i;
    }
    exit(window);
}

TEST_F(GraphAuditTest, DynamicPointsAreRedAndBlueLiveAndLoaded) {
    auto& main = start(43, true);
    auto& window = open(main.MainPopupMenu->NGraphic);
    window.cbReadPeriod->setCurrentText(QStringLiteral("10.0"));
    startFed(window);
    for (int i = 0; i < 3; ++i) {
        window.TimerViewDataGraphicTimer({100 + i, 200 + i, 0, 0});
    }
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "live" : "loaded");
        ASSERT_EQ(window.Graphic.count(), 3);
        ASSERT_EQ(window.Graphic2.count(), 3);
        for (qsizetype i = 0; i < 3; ++i) {
            EXPECT_EQ(window.Graphic.colour(i), kRed);
            EXPECT_EQ(window.Graphic2.colour(i), kBlue);
        }
        if (pass == 0) {
            saveAndLoad(window);
        }
    }
    exit(window);
}

TEST_F(GraphAuditTest, HumidityPointsTakeTheirColoursLiveAndTealWhenLoaded) {
    auto& main = start(80);
    settings::refreshPeriodSeconds = 1;
    auto& window = open(main.MainPopupMenu->NGraphicVlazhnAndTemperatura);
    startFed(window);
    feedHumidity(window, 45, 2);
    const auto expectColours = [&](const QColor& humidity) {
        for (qsizetype i = 0; i < 2; ++i) {
            EXPECT_EQ(window.Graphic.colour(i), humidity);
            EXPECT_EQ(window.GraphicTemperatury.colour(i), kRed);
            EXPECT_EQ(window.GraphicTemperatury2.colour(i), kRed);
            EXPECT_EQ(window.GraphicDopPole.colour(i), kGreen);
        }
    };
    ASSERT_EQ(window.Graphic.count(), 2);
    expectColours(kBlue);
    saveAndLoad(window);
    ASSERT_EQ(window.GraphicTemperatury2.count(), 2);
    expectColours(kTeal);
    exit(window);
}

TEST_F(GraphAuditTest, GraphKeepsEveryPanelOutOfSightUntilItCloses) {
    auto& main = start(43, true);
    panel::TfmZorvanNum* second = main.instrumentWindow(1);
    ASSERT_NE(second, nullptr);
    PanelSession::finishOpening(*second);
    ASSERT_TRUE(second->isVisible());

    auto& window = open(main.MainPopupMenu->NGraphic);
    EXPECT_TRUE(main.isHidden());
    EXPECT_FALSE(main.isEnabled());
    EXPECT_TRUE(second->isHidden());
    exit(window);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(second->isVisible());
}

} // namespace
} // namespace zorvan::graphs
