#include "link/device_state.h"
#include "settings/ini_file.h"
#include "settings/number_format.h"
#include "settings/settings_loader.h"
#include "settings/settings_variables.h"
#include "settings/typed_settings.h"
#include "temp_settings_file.h"

#include <gtest/gtest.h>

namespace zorvan::settings {
namespace {

class SettingsLoader : public ::testing::Test {
protected:
    ~SettingsLoader() override { setDecimalSeparator(u'.'); }

    void load(QStringView fileText) {
        if (!fileText.isEmpty()) {
            file_.writeText(fileText);
        }
        loadDecimalSeparator();
        loadAllSettings();
    }

    test::TempSettingsFile file_;
};

TEST_F(SettingsLoader, NoFileGetsTheSeparatorAndTheWholeHumiditySection) {
    load({});
    EXPECT_EQ(file_.readBytes(), encodeWindows1251(u"[График]\r\n"
                                                   u"Разделитель целой и дробной части=1\r\n"
                                                   u"\r\n"
                                                   u"[График (влажность и температура)]\r\n"
                                                   u"Период обновления, сек.=6\r\n"
                                                   u"Реальное значение=10\r\n"
                                                   u"Без запроса Pr44=0\r\n"
                                                   u"TU2 (G1)=2\r\n"
                                                   u"TU1 (G2)=3\r\n"
                                                   u"TO1 (G3)=5\r\n"
                                                   u"TO2 (G4)=7\r\n"
                                                   u"Показывать индикатор=0\r\n"
                                                   u"Менять цвет индикатора=0\r\n"
                                                   u"Минимальное значение сигнала=0\r\n"
                                                   u"Максимальное значение сигнала=100\r\n"
                                                   u"Использовать минимальное и максимальное "
                                                   u"значения сигнала=1\r\n"));
    EXPECT_EQ(decimalSeparator(), u'.');
    EXPECT_EQ(link::comPortName, "COM1");
    EXPECT_EQ(link::baudRate, 9600);
    EXPECT_EQ(link::readTotalTimeoutConstant, 200);
    EXPECT_EQ(link::deviceAddress[0], 10);
    EXPECT_EQ(link::deviceAddress[5], 0);
    EXPECT_EQ(pollPeriodMs, 1000);
    EXPECT_EQ(readPeriodMs, 500);
    EXPECT_EQ(refreshPeriodSeconds, 6);
    EXPECT_TRUE(signalRangeFixed);
    EXPECT_EQ(sweepMax, 500);
    EXPECT_TRUE(restartOnExit);
}

TEST_F(SettingsLoader, CompleteFileIsLeftByteForByte) {
    load({});
    const QByteArray complete = file_.readBytes();
    load({});
    EXPECT_EQ(file_.readBytes(), complete);
}

TEST_F(SettingsLoader, ReadsEveryKindOfKeyInAnyLetterCase) {
    load(u"[параметры com-порта]\r\nCOM-ПОРТ=ttyUSB0\r\nскорость (БИТ/С)=19200\r\n"
         u"[Параметры прибора]\r\nАдрес прибора №1=0x1A\r\nадрес прибора №4=12\r\n"
         u"Разрешить управление дискретным выходом=5\r\n"
         u"Период опроса в режиме индикации, мс=500\r\n"
         u"[Окна]\r\nПозиция окна прибора №3 справа=-50\r\n"
         u"[График]\r\nПериод чтения данных, мс=193\r\n"
         u"[АЧХ]\r\nМакс. напр., в десятках мВ=300\r\nПерезапуск при выходе=0\r\n"
         u"[график (ВЛАЖНОСТЬ и температура)]\r\ntu2 (g1)=4.5\r\n");
    EXPECT_EQ(link::comPortName, "ttyUSB0");
    EXPECT_EQ(link::baudRate, 19200);
    EXPECT_EQ(link::deviceAddress[0], 26);
    EXPECT_EQ(link::deviceAddress[3], 12);
    EXPECT_TRUE(link::digitalOutAllowed);
    EXPECT_EQ(pollPeriodMs, 500);
    EXPECT_EQ(readPeriodMs, 193);
    EXPECT_EQ(readPeriodSavedMs, 193);
    EXPECT_EQ(sweepMax, 300);
    EXPECT_EQ(sweepMaxSaved, 300);
    EXPECT_FALSE(restartOnExit);
    EXPECT_EQ(limitTU2, 4.5);
    // The missing keys joined the existing section instead of a second one.
    EXPECT_EQ(file_.readBytes().count("]"), 6);
}

TEST_F(SettingsLoader, MalformedValuesTakeTheirDefaults) {
    const struct {
        QStringView fileText;
        std::int32_t address;
        std::int32_t refreshSeconds;
        QString refreshText;
    } rows[] = {
        {u"[Параметры прибора]\nАдрес прибора №1=abc\n"
         u"[График (влажность и температура)]\nПериод обновления, сек.=x\n",
         10, 6, "6"},
        {u"[Параметры прибора]\nАдрес прибора №1=\n"
         u"[График (влажность и температура)]\nПериод обновления, сек.=10\n",
         10, 10, "10"},
    };
    for (const auto& row : rows) {
        load(row.fileText);
        EXPECT_EQ(link::deviceAddress[0], row.address);
        EXPECT_EQ(refreshPeriodSeconds, row.refreshSeconds);
        EXPECT_EQ(refreshPeriodText, row.refreshText);
    }
    // The unreadable period stays in the file for the user to see.
    file_.writeText(u"[График (влажность и температура)]\nПериод обновления, сек.=x\n");
    load({});
    EXPECT_EQ(readSetting(kRefreshPeriod), "x");
}

TEST_F(SettingsLoader, PollPeriodOfZeroOrBelowTakesTheDefaultSoThePollStarts) {
    for (const QStringView period : {u"0", u"-5"}) {
        load(QStringLiteral("[Параметры прибора]\nПериод опроса в режиме индикации, мс=%1")
                 .arg(period));
        EXPECT_EQ(pollPeriodMs, 1000) << period.toString().toStdString();
    }
}

TEST_F(SettingsLoader, RealValuesFollowTheSeparatorSetting) {
    const struct {
        int separatorSetting;
        QStringView limit;
        double expectedLimit;
        QStringView realValue;
        QString expectedRealValue;
    } rows[] = {
        {2, u"2.5", 2.0, u"12.5", "12,5"},
        {2, u"2,5", 2.5, u"12,5", "12,5"},
        {1, u"2,5", 2.0, u"12,5", "12.5"},
        {1, u"2.5", 2.5, u"abc", "abc"},
    };
    for (const auto& row : rows) {
        load(QStringLiteral("[График]\nРазделитель целой и дробной части=%1\n"
                            "[График (влажность и температура)]\nTU2 (G1)=%2\n"
                            "Реальное значение=%3\n")
                 .arg(row.separatorSetting)
                 .arg(row.limit, row.realValue));
        EXPECT_EQ(limitTU2, row.expectedLimit) << row.limit.toString().toStdString();
        EXPECT_EQ(realValueText, row.expectedRealValue);
    }
}

TEST_F(SettingsLoader, UnwritableFileStillLoadsDefaultsAndIsReportedOnce) {
    QStringList reports;
    setFileProblemHandler([&](const QString& path, FileProblem problem) {
        reports << fileProblemText(path, problem);
    });
    const QString path = file_.folder() + "/missing/zorvan.ini";
    setSettingsFilePath(path);
    load({});
    setFileProblemHandler({});
    EXPECT_EQ(reports, QStringList{"Unable to write to " + path});
    EXPECT_EQ(decimalSeparator(), u'.');
    EXPECT_EQ(limitTO2, 7.0);
    EXPECT_EQ(realValueText, "10");
}

} // namespace
} // namespace zorvan::settings
