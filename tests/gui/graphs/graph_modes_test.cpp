// The threshold and humidity modes of the graph window and its files, over a simulated bus.
#include "app/window_launchers.h"
#include "graphs/graph_file_dialogs.h"
#include "graphs/graph_window.h"
#include "graphs/recording_file.h"
#include "link/device_state.h"
#include "link/worker_threads.h"
#include "settings/settings_variables.h"
#include "tests/gui/graphs/graph_fixture.h"
#include "tests/support/panel_session.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace zorvan::graphs {
namespace {

using testing::PanelSession;

constexpr std::uint8_t kFirst = 10;

QStringList linesOf(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

class GraphModesTest : public GraphTest {
protected:
    // Each run of the same minute keeps a file of its own: a second "Пуск" once moved the first
    // run's file to the backup, and the next rewrite deleted it.
    static void expectThreeRunsInThreeFiles(TFormGraphic& window, const char* laterSuffix) {
        window.cbMinViewValue->setCurrentText(QStringLiteral("1"));
        QStringList files;
        for (int run = 1; run <= 3; ++run) {
            startFed(window);
            files << window.autoSaveFileName();
            for (int point = 0; point <= run; ++point) {
                window.TimerViewDataGraphicTimer({5000 + point, 0, 2000, 2000});
            }
            window.BitBtnPuskStop->click();
        }
        ASSERT_TRUE(waitForFinishingRecordings(std::chrono::seconds(10)));
        EXPECT_EQ(files.removeDuplicates(), 0) << files.join(u' ').toStdString();
        for (int run = 1; run <= 3; ++run) {
            EXPECT_EQ(linesOf(files[run - 1]).size(), run + 1) << "run " << run;
        }
        const bool sameMinute =
            QFileInfo(files[1]).fileName().left(17) == QFileInfo(files[0]).fileName().left(17);
        EXPECT_TRUE(!sameMinute || files[1].endsWith(QString::fromUtf8(laterSuffix)))
            << files[1].toStdString();
    }
};

TEST_F(GraphModesTest, ThresholdModeRefusesTextAndPlotsExcursionsWithTheirContext) {
    auto& main = start(43);
    auto& window = open(main.MainPopupMenu->NGraphicPlus);
    EXPECT_TRUE(window.cbMinViewValue->isVisible());
    EXPECT_FALSE(window.cbOkno->isVisible());

    window.cbMinViewValue->setCurrentText(QStringLiteral("сто"));
    QString message;
    QTimer::singleShot(50, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        message = box->text();
        box->accept();
    });
    window.BitBtnPuskStop->click();
    EXPECT_EQ(message, "Это не цифра!\nЗадайте правильное значение.");
    EXPECT_FALSE(window.running());

    window.cbMinViewValue->setCurrentText(QStringLiteral("1e2"));
    startFed(window);
    const double scale = link::graphScale;
    const auto feed = [&](double value) {
        window.TimerViewDataGraphicTimer(
            {static_cast<std::int32_t>(std::lround(value / scale)), 0, 0, 0});
    };
    feed(150);
    for (int i = 0; i < 25; ++i) {
        feed(50);
    }
    feed(150);
    ASSERT_EQ(window.Graphic.count(), 22);
    EXPECT_EQ(window.Graphic.x(21), 21);
    EXPECT_NEAR(window.Chart1->leftAxis().maximum(), 150 + 100 / 70.0, 1e-9);
    const QString recorded = window.autoSaveFileName();
    EXPECT_TRUE(recorded.endsWith(QStringLiteral(" порог.txt")));
    ASSERT_EQ(linesOf(recorded).size(), 22) << "each point is in the file as it is plotted";
    EXPECT_TRUE(linesOf(recorded).at(21).endsWith("\t      150.00"));
    window.GraphPopupMenu->aboutToShow();
    EXPECT_TRUE(window.NSaveDataGraph->isVisible());
    const QString saved = files.filePath(QStringLiteral("saved.txt"));
    window.chooseSaveFile = [&] { return saved; };
    window.NSaveDataGraphClick();
    waitForSaves();
    EXPECT_EQ(linesOf(saved), linesOf(recorded)) << "recorded line by line as saved whole";
    exit(window);
}

TEST_F(GraphModesTest, HumidityModeAveragesColoursTheBarAndSavesItselfKeepingABackup) {
    auto& main = start(80);
    settings::refreshPeriodSeconds = 6;
    settings::indicatorShown = true;
    settings::indicatorColoured = true;
    settings::signalRangeFixed = true;
    settings::limitTU2 = 40;
    settings::limitTU1 = 42;
    settings::limitTO1 = 48;
    settings::limitTO2 = 50;
    auto& window = open(main.MainPopupMenu->NGraphicVlazhnAndTemperatura);
    EXPECT_TRUE(window.paTekVlazh->isVisible());
    EXPECT_TRUE(window.paIndicator->isVisible());
    EXPECT_EQ(window.Chart1->leftAxis().maximum(), 100.0) << "the fixed signal range";
    startFed(window);
    EXPECT_EQ(QFileInfo(window.autoSaveFileName()).absolutePath(),
              QFileInfo(session.settingsPath()).absolutePath())
        << "automatic saves go beside the settings file";

    const double scale = link::graphScale;
    const auto feed = [&](double humidity, int readings) {
        for (int i = 0; i < readings; ++i) {
            window.TimerViewDataGraphicTimer(
                {static_cast<std::int32_t>(std::lround(humidity / scale)), 0, 2345, 950});
        }
    };
    feed(45, 5);
    EXPECT_EQ(window.Graphic.count(), 0) << "six readings make a point";
    EXPECT_EQ(window.paTekTemp2->text(), "9.50 ");
    feed(45, 1);
    ASSERT_EQ(window.Graphic.count(), 1);
    EXPECT_EQ(window.Graphic.label(0), " 0.00мин.");
    EXPECT_EQ(window.GraphicDopPole.y(0), 10.0);
    EXPECT_EQ(window.BarSeriesIndicator.colour(), QColor(0, 128, 0));
    const QString recorded = window.autoSaveFileName();
    EXPECT_EQ(linesOf(recorded).size(), 1) << "a point is in the file as it is plotted";

    const auto backupHolds = [&](qsizetype lines) {
        return PanelSession::waitFor([&] { return linesOf(recorded + ".bak").size() == lines; });
    };
    window.TimerAutoSaveTimer(); // at 5 minutes
    EXPECT_TRUE(backupHolds(1));
    feed(41, 6);
    EXPECT_EQ(window.BarSeriesIndicator.colour(), QColor(255, 255, 0));
    window.TimerAutoSaveTimer(); // at 10 minutes
    EXPECT_TRUE(backupHolds(2)) << "the file before the rewrite";
    feed(39, 6);
    EXPECT_EQ(window.BarSeriesIndicator.colour(), QColor(255, 0, 0));
    window.TimerAutoSaveTimer(); // at 15 minutes
    EXPECT_TRUE(backupHolds(3));
    EXPECT_EQ(linesOf(recorded).size(), 3);
    EXPECT_EQ(linesOf(recorded).at(2).split(QLatin1Char('\t')).size(), 5)
        << "time, humidity, temperature 1, reference level, temperature 2";
    exit(window);
}

TEST_F(GraphModesTest, HumidityModeListensWithoutSendingAnything) {
    auto& main = start(80);
    settings::refreshPeriodSeconds = 1;
    settings::noRequestMode = true;
    auto& window = open(main.MainPopupMenu->NGraphicVlazhnAndTemperatura);
    ASSERT_TRUE(window.CheckBoxZaprosPr44->isChecked());
    session.line.server->setListenMaster(kFirst);
    const std::size_t sent = session.line.frames().size();
    window.BitBtnPuskStop->click();
    EXPECT_TRUE(PanelSession::waitFor([&] { return window.Graphic.count() >= 2; }, 8000));
    EXPECT_EQ(session.line.frames().size(), sent) << "the other master asks, the program listens";
    EXPECT_FALSE(window.paTekTemp->text().isEmpty());
    exit(window);
}

TEST_F(GraphModesTest, AFileLoadedBeforeAnyRunIsShownWhole) {
    auto& main = start(43);
    auto& window = open(main.MainPopupMenu->NGraphic);
    const QString path = files.filePath(QStringLiteral("graph.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (int i = 0; i < 14; ++i) {
        file.write(QByteArray::number(i) + "\t" + QByteArray::number(i * 10) + "\r\n");
    }
    file.close();
    window.chooseOpenFile = [&] { return path; };
    window.NLoadDataGraphClick();
    ASSERT_EQ(window.Graphic.count(), 14);
    EXPECT_LE(window.Chart1->bottomAxis().minimum(), 0.0);
    EXPECT_GE(window.Chart1->bottomAxis().maximum(), 13.0);
    exit(window);
}

TEST_F(GraphModesTest, FileDialogsOfferTextFilesAndThePictureOfTheChart) {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    configureTextFileDialog(dialog, QFileDialog::AcceptSave);
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->itemText(0), "Текстовый (*.txt)");
    EXPECT_EQ(types->itemText(1), "Все");
    EXPECT_EQ(dialog.defaultSuffix(), "txt");

    auto& main = start(43);
    auto& window = open(main.MainPopupMenu->NGraphic);
    const QString picture = files.filePath(QStringLiteral("picture"));
    window.chooseSaveFile = [&] { return picture; };
    window.NSaveGraphPicture->trigger();
    const QImage saved(picture + ".png");
    EXPECT_EQ(saved.size(), window.Chart1->size() * window.Chart1->devicePixelRatio());
    exit(window);
}

TEST_F(GraphModesTest, SavedGraphLoadsBackAndLivePointsContinueIt) {
    auto& main = start(43, true);
    auto& window = open(main.MainPopupMenu->NGraphic);
    window.cbReadPeriod->setCurrentText(QStringLiteral("10.0"));
    startFed(window);
    for (int i = 0; i < 5; ++i) {
        window.TimerViewDataGraphicTimer({1000 + i, -2000 - i, 0, 0});
    }
    const QString path = files.filePath(QStringLiteral("graph.txt"));
    window.chooseSaveFile = [&] { return path; };
    window.NSaveDataGraphClick();
    waitForSaves();
    QStringList labels;
    for (qsizetype i = 0; i < window.Graphic.count(); ++i) {
        labels << window.Graphic.label(i);
    }

    window.chooseOpenFile = [&] { return path; };
    window.NLoadDataGraphClick();
    ASSERT_EQ(window.Graphic.count(), 5);
    ASSERT_EQ(window.Graphic2.count(), 5);
    for (qsizetype i = 0; i < 5; ++i) {
        EXPECT_EQ(window.Graphic.label(i), labels[i]);
        EXPECT_DOUBLE_EQ(window.Graphic.y(i), (1000 + i) * link::graphScale);
        EXPECT_DOUBLE_EQ(window.Graphic2.y(i), (-2000 - i) * link::graphScale);
    }
    window.TimerViewDataGraphicTimer({7, 7, 0, 0});
    EXPECT_EQ(window.Graphic.x(5), 5) << "live points follow the loaded lines";
    EXPECT_GE(window.Graphic.time(5), window.Graphic.time(4));
    exit(window);
}

TEST_F(GraphModesTest, ThresholdRunsWithinOneMinuteEachKeepAFileOfTheirOwn) {
    auto& main = start(43);
    auto& window = open(main.MainPopupMenu->NGraphicPlus);
    expectThreeRunsInThreeFiles(window, " порог (2).txt");
    exit(window);
}

TEST_F(GraphModesTest, HumidityRunsWithinOneMinuteEachKeepAFileOfTheirOwn) {
    auto& main = start(80);
    settings::refreshPeriodSeconds = 1;
    auto& window = open(main.MainPopupMenu->NGraphicVlazhnAndTemperatura);
    expectThreeRunsInThreeFiles(window, " (2).txt");
    exit(window);
}

// "Стоп" and "Пуск" clicked while a read is on the line: its reading was taken in the run that
// ended, so it is no point of the new run and no line of its file.
TEST_F(GraphModesTest, AReadingTakenBeforeStopIsNotTheNextRunsFirstPoint) {
    auto& main = start(43);
    auto& window = open(main.MainPopupMenu->NGraphicPlus);
    window.cbMinViewValue->setCurrentText(QStringLiteral("-99999"));
    window.cbReadPeriod->setCurrentText(QStringLiteral("10.0"));
    startFed(window);
    window.TimerGraphicTimer();
    window.BitBtnPuskStop->click();
    window.BitBtnPuskStop->click();
    ASSERT_TRUE(PanelSession::waitFor(
        [&] { return window.running() && !link::graphReadBusy && link::runningWorkers() == 0; }));
    window.TimerGraphic.stop();
    QTest::qWait(50);
    EXPECT_EQ(window.Graphic.count(), 0);
    window.BitBtnPuskStop->click();
    waitForSaves();
    EXPECT_FALSE(QFile::exists(window.autoSaveFileName()));
    exit(window);
}

// "Сохранить в файле данные из графика" to the recording's own name puts a new file in its
// place; the points plotted after it must still reach that name.
TEST_F(GraphModesTest, ASaveByHandToTheRecordingsNameKeepsEveryPointInIt) {
    auto& main = start(43);
    auto& window = open(main.MainPopupMenu->NGraphicPlus);
    window.cbMinViewValue->setCurrentText(QStringLiteral("1"));
    startFed(window);
    const auto feed = [&](int points) {
        for (int point = 0; point < points; ++point) {
            window.TimerViewDataGraphicTimer({5000 + point, 0, 0, 0});
        }
    };
    feed(3);
    const QString recorded = window.autoSaveFileName();
    window.chooseSaveFile = [&] { return recorded; };
    window.NSaveDataGraphClick();
    waitForSaves();
    feed(2);
    window.BitBtnPuskStop->click();
    ASSERT_TRUE(waitForFinishingRecordings(std::chrono::seconds(10)));
    EXPECT_EQ(linesOf(recorded).size(), 5);
    exit(window);
}

} // namespace
} // namespace zorvan::graphs
