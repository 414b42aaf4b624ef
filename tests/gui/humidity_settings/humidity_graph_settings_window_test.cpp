// The humidity graph settings window: which keys "OK" writes, what it asks of the graph window,
// where it stops on a value that is not a number, and the key filter of its limit boxes.
#include "settings/decimal_key_filter.h"
#include "settings/humidity_graph_settings_window.h"
#include "settings/number_format.h"
#include "settings/settings_path.h"
#include "settings/settings_variables.h"
#include "settings/typed_settings.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zorvan::settings {
namespace {

using Phase = ui::BorderlessWindow::Phase;
using Calls = std::vector<std::string>;

// A graph window that records what the settings window asks of it.
class RecordingView final : public HumidityGraphView {
public:
    void showIndicatorPanel(bool shown) override { calls.emplace_back(shown ? "show" : "hide"); }
    void addIndicatorBarIfMissing() override { calls.emplace_back("add bar"); }
    void colourIndicatorBarGreen() override { calls.emplace_back("green"); }
    void applySignalRange(double min, double max) override {
        calls.push_back(QStringLiteral("range %1..%2").arg(min).arg(max).toStdString());
    }
    QWidget* graphWindow() override { return &graph; }

    QWidget graph;
    Calls calls;
};

class HumiditySettingsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        setSettingsFilePath(folder.filePath(QStringLiteral("zorvan.ini")));
        setDecimalSeparator(u'.');
        refreshPeriodText = QStringLiteral("6");
        refreshPeriodSeconds = 6;
        limitTO1 = 5.075;
        limitTO2 = 5.15;
        indicatorShown = indicatorColoured = signalRangeFixed = false;
        signalMin = 0.0;
        signalMax = 100.0;
    }
    void TearDown() override {
        setDecimalSeparator(u'.');
        setSettingsFilePath({});
    }

    std::unique_ptr<TfmGraphVlazhTempNastr> open() {
        view.calls.clear();
        auto window = std::make_unique<TfmGraphVlazhTempNastr>(view);
        window->show();
        while (window->phase() == Phase::Opening) {
            window->openingTick();
        }
        return window;
    }

    static QByteArray file() {
        QFile file(settingsFilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder;
    RecordingView view;
};

TEST_F(HumiditySettingsWindow, OnlyChangedKeysAreWrittenAndAPeriodTheListLacksIsNotBlanked) {
    auto window = open();
    window->cbKolIzmInXSec->setCurrentText(QStringLiteral("10"));
    window->BitBtnOKClick();
    EXPECT_EQ(window->phase(), Phase::Closing);
    EXPECT_EQ(file().count('='), 1) << file().toStdString();
    EXPECT_EQ(readSetting(kRefreshPeriod), "10");
    EXPECT_EQ(refreshPeriodSeconds, 10);
    EXPECT_TRUE(view.calls.empty());

    QFile::remove(settingsFilePath());
    refreshPeriodText = QStringLiteral("7");
    open()->BitBtnOKClick();
    EXPECT_TRUE(file().isEmpty());
    EXPECT_EQ(refreshPeriodText, "7");
}

TEST_F(HumiditySettingsWindow, LimitIsWrittenOnlyWhenChangedByMoreThanAHundredThousandth) {
    const struct {
        double change;
        QChar separator;
        bool written;
    } rows[] = {{0.000005, u'.', false}, {0.00002, u'.', true}, {0.00002, u',', true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.change << " with " << row.separator.toLatin1());
        QFile::remove(settingsFilePath());
        setDecimalSeparator(row.separator);
        limitTO1 = 5.075;
        auto window = open();
        window->edTO1->setText(formatReal(5.075 + row.change));
        window->BitBtnOKClick();

        EXPECT_EQ(settingExists(kLimitTO1), row.written);
        EXPECT_DOUBLE_EQ(limitTO1, row.written ? 5.075 + row.change : 5.075);
        EXPECT_DOUBLE_EQ(readSetting(kLimitTO1), row.written ? limitTO1 : kLimitTO1.defaultValue);
    }
}

TEST_F(HumiditySettingsWindow, IndicatorTurnedOnGetsAGreenBarUntilItsColourFollowsTheLevels) {
    const struct {
        QCheckBox* TfmGraphVlazhTempNastr::*box;
        bool checked;
        Calls calls;
    } steps[] = {
        {&TfmGraphVlazhTempNastr::ChBViewIndicatorsColorUroven, true, {"add bar", "show", "green"}},
        {&TfmGraphVlazhTempNastr::ChBViewColorUroven, true, {"add bar"}},
        {&TfmGraphVlazhTempNastr::ChBViewIndicatorsColorUroven, false, {"hide"}},
    };
    for (const auto& step : steps) {
        auto window = open();
        ((*window).*step.box)->setChecked(step.checked);
        window->BitBtnOKClick();
        EXPECT_EQ(view.calls, step.calls);
    }
    EXPECT_FALSE(readSetting(kIndicatorShown));
    EXPECT_TRUE(readSetting(kIndicatorColoured));
}

TEST_F(HumiditySettingsWindow, SignalRangeReachesTheAxesOnlyWhileItsUseIsOn) {
    auto notInUse = open();
    notInUse->cbMinSignal->setCurrentText(QStringLiteral("20"));
    notInUse->cbMaxSignal->setCurrentText(QStringLiteral("80"));
    notInUse->BitBtnOKClick();
    EXPECT_DOUBLE_EQ(readSetting(kSignalMin), 20.0);
    EXPECT_DOUBLE_EQ(readSetting(kSignalMax), 80.0);
    EXPECT_TRUE(view.calls.empty());

    auto turnedOn = open();
    turnedOn->ChBSetUrovenOnGraph->setChecked(true);
    turnedOn->BitBtnOKClick();
    EXPECT_EQ(view.calls, (Calls{"range 20..80"}));

    open()->BitBtnOKClick();
    EXPECT_TRUE(view.calls.empty()) << "nothing changed, the axes keep their zoom";
}

TEST_F(HumiditySettingsWindow, StoredMaximumTheListLacksShowsAHundredWhichOkStores) {
    signalMax = 150.0;
    signalRangeFixed = true;
    auto window = open();
    EXPECT_EQ(window->cbMaxSignal->currentText(), "100");

    window->BitBtnOKClick();
    EXPECT_DOUBLE_EQ(readSetting(kSignalMax), 100.0);
    EXPECT_EQ(view.calls, (Calls{"range 0..100"}));
}

TEST_F(HumiditySettingsWindow, LimitThatIsNotANumberStopsOkAndTheCloseImageDropsTheRest) {
    auto window = open();
    EXPECT_EQ(window->revealExtent(), TfmGraphVlazhTempNastr::kHeight + 3);
    window->edTO1->setText(QStringLiteral("4.5"));
    window->edTO2->setText(QStringLiteral("."));
    window->ChBViewIndicatorsColorUroven->setChecked(true);
    window->ChBSetUrovenOnGraph->setChecked(true);

    window->BitBtnOKClick();
    EXPECT_EQ(window->phase(), Phase::Open);
    EXPECT_EQ(window->focusWidget(), window->edTO2);
    EXPECT_DOUBLE_EQ(readSetting(kLimitTO1), 4.5) << "the steps before it stay in effect";

    QTest::mouseClick(window->CloseImage, Qt::LeftButton);
    EXPECT_EQ(window->phase(), Phase::Closing);
    EXPECT_EQ(file().count('='), 1);
    EXPECT_FALSE(indicatorShown || signalRangeFixed);
    EXPECT_TRUE(view.calls.empty());
}

TEST(HumiditySettingsKeyFilter, BoxTypesOneProcessSeparatorAndKeepsItsEditingKeys) {
    setDecimalSeparator(u',');
    QLineEdit edit;
    filterDecimalKeys(edit);

    QTest::keyClicks(&edit, QStringLiteral("-1.5.,x 2e"));
    EXPECT_EQ(edit.text(), "1,52");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_3);
    EXPECT_EQ(edit.text(), "31,5");
    setDecimalSeparator(u'.');
    EXPECT_EQ(decimalKeyResult(u',', u"31", u'.'), u'.');
}

} // namespace
} // namespace zorvan::settings
