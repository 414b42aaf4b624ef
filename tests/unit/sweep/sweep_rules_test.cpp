// The rules of the frequency-response window that are pure functions: the curve file, the folder
// in the caption, the vertical range with its clear items, and the four lists.
#include "graphs/curve_file.h"
#include "graphs/folder_caption.h"
#include "graphs/sweep_lists.h"
#include "graphs/sweep_range.h"
#include "settings/number_format.h"
#include "settings/windows1251.h"

#include <gtest/gtest.h>
#include <vector>

namespace zorvan::graphs {
namespace {

QByteArray fileOf(const QString& text) {
    return settings::encodeWindows1251(text);
}

const QString kHeaderLine = kCurveFileHeader + QStringLiteral("\r\n");

class CurveFile : public ::testing::Test {
protected:
    void TearDown() override { settings::setDecimalSeparator(u'.'); }
};

TEST_F(CurveFile, WritesRightAlignedTwoDecimalsInEitherSeparatorAndReadsThemBack) {
    const std::vector<CurvePoint> scan{{0.0, 40.0}, {0.01, 41.5}, {0.02, 43.456}};
    settings::setDecimalSeparator(u'.');
    EXPECT_EQ(curveFileBytes(scan),
              fileOf(kHeaderLine + QStringLiteral("   0.00\t\t\t  40.00\r\n"
                                                  "   0.01\t\t\t  41.50\r\n"
                                                  "   0.02\t\t\t  43.46\r\n")));
    EXPECT_EQ(curveFileBytes({{0.5, 45.234}, {-1.0, 1234567.0}}),
              fileOf(kHeaderLine + QStringLiteral("   0.50\t\t\t  45.23\r\n"
                                                  "  -1.00\t\t\t1234567.00\r\n")))
        << "the width pads and never cuts";

    settings::setDecimalSeparator(u',');
    const QByteArray comma = curveFileBytes(scan);
    EXPECT_TRUE(comma.contains("   0,00\t\t\t  40,00\r\n"));
    settings::setDecimalSeparator(u'.');
    const auto read = readCurveFile(comma);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 3U);
    EXPECT_DOUBLE_EQ((*read)[1].volts, 0.01);
    EXPECT_DOUBLE_EQ((*read)[2].percent, 43.46);
}

TEST_F(CurveFile, RefusesAnyOtherFirstLine) {
    for (const QString& header : {QStringLiteral("Напряжение, В\tВлажность, %"),
                                  QStringLiteral("Напряжение, В\t\tВлажность, % "),
                                  QStringLiteral(""), QString::fromLatin1("\xFF\xFE binary")}) {
        EXPECT_FALSE(readCurveFile(fileOf(header + QStringLiteral("\r\n1 2\r\n"))))
            << header.toStdString();
    }
    EXPECT_FALSE(readCurveFile(QByteArray()));
    EXPECT_FALSE(readCurveFile(kCurveFileHeader.toUtf8())) << "the file is Windows-1251";
    const auto headerOnly = readCurveFile(fileOf(kCurveFileHeader));
    ASSERT_TRUE(headerOnly);
    EXPECT_TRUE(headerOnly->empty());
}

// A line without two numbers used to add a point of the previous line's values, or of undefined
// values when it came first.
TEST_F(CurveFile, JunkLineIsSkippedNotPlottedWithThePreviousValues) {
    const QByteArray file = fileOf(kHeaderLine + QStringLiteral("junk\r\n"
                                                                "1.5\t\t\t20.5 comment\n"
                                                                "2.0\r\n"
                                                                "\r\n"
                                                                "3.0x 4\r"
                                                                "+4,5  -7,25\r\n"
                                                                "nan 1\r\n"
                                                                "5 1e300\r\n"
                                                                "1.0.2 3\r\n"
                                                                "\t.5\t6e1"));
    const auto read = readCurveFile(file);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 3U);
    EXPECT_DOUBLE_EQ((*read)[0].volts, 1.5);
    EXPECT_DOUBLE_EQ((*read)[0].percent, 20.5);
    EXPECT_DOUBLE_EQ((*read)[1].volts, 4.5) << "',' reads as '.'";
    EXPECT_DOUBLE_EQ((*read)[1].percent, -7.25);
    EXPECT_DOUBLE_EQ((*read)[2].volts, 0.5);
    EXPECT_DOUBLE_EQ((*read)[2].percent, 60.0);
}

struct FolderRow {
    QString path;
    int limit;
    bool fullFoldersOnly;
    QString shown;
};

TEST(FolderCaption, ShowsTheFolderWholeOrItsEndBehindDots) {
    const QString file = QStringLiteral("D:\\data\\humidity\\2024\\sensor-A\\scan.txt");
    const std::vector<FolderRow> rows{
        {file, 77, false, QStringLiteral("D:\\data\\humidity\\2024\\sensor-A\\")},
        {file, 31, true, QStringLiteral("D:\\data\\humidity\\2024\\sensor-A\\")},
        {file, 30, false, QStringLiteral("... D:\\data\\humidity\\2024\\sensor-A\\")},
        {file, 20, false, QStringLiteral("... midity\\2024\\sensor-A\\")},
        {file, 20, true, QStringLiteral("... \\2024\\sensor-A\\")},
        {file, 5, true, QStringLiteral("... \\sensor-A\\")},
        {file, 5, false, QStringLiteral("... sor-A\\")},
        {QStringLiteral("/home/user/scans/a.txt"), 10, true, QStringLiteral("... /scans/")},
        {QStringLiteral("verylongfolder/a.txt"), 4, true, QStringLiteral("... verylongfolder/")},
        {QStringLiteral("C:a.txt"), 77, false, QStringLiteral("C:")},
        {QStringLiteral("a.txt"), 77, true, QString()},
        {file, -3, false, QStringLiteral("... \\")},
    };
    for (const FolderRow& row : rows) {
        EXPECT_EQ(ShortenFolderPath(row.path, row.limit, row.fullFoldersOnly), row.shown)
            << row.path.toStdString() << " " << row.limit;
    }
}

TEST(SweepRange, OnePointGivesItsRoomAndTheItemsFollowTheCurvesThatHoldPoints) {
    const SweepRange empty = sweepVerticalRange({}, {});
    EXPECT_TRUE(empty.allEmpty);
    EXPECT_EQ(empty.minimum, -0.5);
    EXPECT_EQ(empty.maximum, 0.5);
    EXPECT_FALSE(empty.clearAll || empty.clearScans || empty.clearAllOverlays);

    const SweepRange point = sweepVerticalRange({CurveExtent{false, 45.0, 45.0}}, {});
    EXPECT_NEAR(point.minimum, 44.899, 1e-9);
    EXPECT_NEAR(point.maximum, 45.101, 1e-9);
    EXPECT_TRUE(point.clearScans && point.clearAll);
    EXPECT_FALSE(point.clearAllOverlays);

    std::array<CurveExtent, kOverlayCount> overlays{};
    overlays[2] = {false, -10.0, 2.0};
    const SweepRange mixed = sweepVerticalRange(
        {CurveExtent{}, CurveExtent{}, CurveExtent{false, 40.0, 60.0}}, overlays);
    const double margin = (60.1 - -10.1) * 0.005;
    EXPECT_NEAR(mixed.minimum, -10.1 - margin, 1e-9) << "the lowest end from an overlay";
    EXPECT_NEAR(mixed.maximum, 60.1 + margin, 1e-9) << "the highest from the oldest scan";
    EXPECT_TRUE(mixed.clearScans);
    EXPECT_TRUE(mixed.clearAllOverlays);
    EXPECT_EQ(mixed.clearOverlay, (std::array<bool, kOverlayCount>{false, false, true}));

    const SweepRange overlayOnly = sweepVerticalRange({}, overlays);
    EXPECT_FALSE(overlayOnly.clearScans);
    EXPECT_TRUE(overlayOnly.clearAll) << "an overlay alone is something to clear";
}

TEST(SweepLists, EntriesGiveTheirOwnValueAndStoredValuesFindTheirEntry) {
    settings::setDecimalSeparator(u',');
    const QStringList volts = voltageEntries();
    ASSERT_EQ(volts.size(), 51);
    EXPECT_EQ(volts.front(), "0,0");
    EXPECT_EQ(volts.back(), "5,0");
    EXPECT_EQ(stepEntries().size(), 50);
    EXPECT_EQ(stepEntries().front(), "0,01");
    EXPECT_EQ(pauseEntries().back(), "5,0");
    for (int i = 0; i < volts.size(); ++i) {
        EXPECT_EQ(tensOfMillivoltsOf(volts[i]), i * 10) << volts[i].toStdString();
        EXPECT_EQ(entryIndexFor(volts, voltageText(i * 10)), i);
    }
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(tensOfMillivoltsOf(stepEntries()[i]), i + 1);
        EXPECT_EQ(hundredsOfMillisecondsOf(pauseEntries()[i]), i + 1);
    }
    EXPECT_EQ(sweepTickMs(1), 101);
    EXPECT_EQ(sweepTickMs(20), 2001);

    // A stored value outside a list used to leave it without a choice.
    EXPECT_EQ(entryIndexFor(volts, voltageText(900)), 50);
    EXPECT_EQ(entryIndexFor(volts, voltageText(-40)), 0);
    EXPECT_EQ(entryIndexFor(stepEntries(), stepText(0)), 0);
    EXPECT_EQ(entryIndexFor(pauseEntries(), pauseText(2'000'000'000)), 49);
    settings::setDecimalSeparator(u'.');
}

} // namespace
} // namespace zorvan::graphs
