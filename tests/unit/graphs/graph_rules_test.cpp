// The rules of the graph window that are pure functions: the vertical scaling, the read period
// list, the point labels and the caption.
#include "graphs/point_label.h"
#include "graphs/read_period.h"
#include "graphs/vertical_scaling.h"
#include "settings/number_format.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace zorvan::graphs {
namespace {

struct ScalingRow {
    std::vector<SeriesExtent> series;
    double minimum;
    double maximum;
};

TEST(VerticalScaling, WidensEachSeriesThenTheWholeRangeAndOpensAFlatOne) {
    const std::vector<ScalingRow> rows{
        {{{5.0, 5.0}}, 4.9, 5.1},
        {{{-5.0, -5.0}}, -5.1, -4.9},
        {{{0.0, 0.0}}, 0.0, 0.0},
        {{{0.0, 7.0}}, -0.244, 7.24688},
        // The lowest end and the highest end may come from different series.
        {{{0.0, 7.0}, {-70.0, -70.0}, {1.0, 2.0}}, -71.542, 8.67284},
    };
    for (const ScalingRow& row : rows) {
        const AxisRange range = verticalRange(row.series);
        EXPECT_NEAR(range.minimum, row.minimum, 1e-9) << row.minimum;
        EXPECT_NEAR(range.maximum, row.maximum, 1e-9) << row.maximum;
    }
}

TEST(ReadPeriod, EntriesGiveTheirPeriodLessTheAllowanceWithEitherSeparator) {
    const std::vector<int> expected{18, 38, 76, 193, 493, 993, 1993, 4993, 9993};
    const QStringList entries = readPeriodEntries();
    ASSERT_EQ(entries.size(), static_cast<qsizetype>(expected.size()));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(readPeriodOfEntry(entries[i]), expected[static_cast<std::size_t>(i)]);
        QString comma = entries[i];
        comma.replace(QLatin1Char('.'), QLatin1Char(','));
        EXPECT_EQ(readPeriodOfEntry(comma), expected[static_cast<std::size_t>(i)])
            << "ReadPeriodEntryWithCommaConverts";
    }
    EXPECT_EQ(readPeriodOfEntry(u"abc"), std::nullopt);
}

TEST(ReadPeriod, StoredPeriodsFindTheirEntry) {
    EXPECT_EQ(entryOfReadPeriod(18), "0.02");
    EXPECT_EQ(entryOfReadPeriod(99), "0.10");
    EXPECT_EQ(entryOfReadPeriod(493), "0.5");
    EXPECT_EQ(entryOfReadPeriod(500), "0.5") << "the default shows as 0.5 and stays 500";
    EXPECT_EQ(entryOfReadPeriod(9993), "10.0");
    EXPECT_EQ(timeLabelDecimalsFor(98), 3);
    EXPECT_EQ(timeLabelDecimalsFor(99), 2);
}

TEST(PointLabel, CountsTheWholeElapsedTimeInTheProcessSeparator) {
    settings::setDecimalSeparator(QLatin1Char('.'));
    EXPECT_EQ(secondsLabel(0.0, 3), " 0.000c ");
    EXPECT_EQ(secondsLabel(0.0, 2), " 0.00c ");
    EXPECT_EQ(secondsLabel(25 * 3600.0, 2), " 90000.00c ") << "LabelAfter24HoursDoesNotWrap";
    EXPECT_EQ(minutesLabel(25 * 3600.0), " 1500.00мин.") << "MinutesLabelAfter24HoursDoesNotWrap";
    EXPECT_EQ(pointLabel(std::nan(""), true, 2), " мин.") << "a loaded line without a time";
    EXPECT_EQ(readRateText(51, 1.0), "50.00 изм./сек.");
    settings::setDecimalSeparator(QLatin1Char(','));
    EXPECT_EQ(secondsLabel(1.5, 3), " 1,500c ");
    settings::setDecimalSeparator(QLatin1Char('.'));
}

TEST(PointLabel, CaptionNamesTheInstrumentKind) {
    EXPECT_EQ(instrumentTitle(0), "Zorvan 4X, 8X");
    EXPECT_EQ(instrumentTitle(48), "Zorvan 48");
    EXPECT_EQ(instrumentTitle(5), "Zorvan 05");
    EXPECT_EQ(instrumentTitle(123), "Zorvan 123");
}

} // namespace
} // namespace zorvan::graphs
