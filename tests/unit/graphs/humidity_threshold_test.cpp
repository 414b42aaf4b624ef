// The threshold graph's hold-back of quiet stretches and the humidity graph's averaging,
// figures and indicator colours.
#include "graphs/humidity_rules.h"
#include "graphs/threshold_hold.h"
#include "settings/number_format.h"

#include <gtest/gtest.h>
#include <vector>

namespace zorvan::graphs {
namespace {

// Feeds the values as readings one second apart and returns the values plotted, in order.
std::vector<double> plotted(const std::vector<double>& readings, double threshold) {
    ThresholdHold hold;
    hold.restart();
    std::vector<double> shown;
    double time = 0.0;
    for (const double value : readings) {
        bool above = false;
        for (const TimedValue& point : hold.take({value, time}, threshold, above)) {
            shown.push_back(point.value);
        }
        time += 1.0;
    }
    return shown;
}

TEST(ThresholdHold, KeepsTenReadingsOfContextOnEachSideOfAQuietStretch) {
    std::vector<double> readings{150};
    for (int i = 0; i < 25; ++i) {
        readings.push_back(50 + i); // distinct, so the dropped middle shows
    }
    readings.push_back(150);
    std::vector<double> expected{150};
    for (int i = 0; i < 10; ++i) {
        expected.push_back(50 + i);
    }
    for (int i = 15; i < 25; ++i) {
        expected.push_back(50 + i);
    }
    expected.push_back(150);
    EXPECT_EQ(plotted(readings, 100), expected) << "22 points; the five in the middle are dropped";
    EXPECT_EQ(plotted({50, 50, 150}, 100), (std::vector<double>{50, 50, 150}))
        << "readings already shown are not shown twice";
    EXPECT_EQ(plotted({100, 101}, 100), (std::vector<double>{100, 101}))
        << "a reading equal to the threshold is held like one below it";
    // 100.00 from a two-decimal instrument, scaled as the instrument scales: by tenths, twice.
    const double hundred = 10000 * (0.1 * 0.1);
    ASSERT_NE(hundred, 100.0);
    EXPECT_EQ(plotted(std::vector<double>(25, hundred), 100).size(), 10u)
        << "the scaled reading equals the threshold and is held";
}

TEST(HumidityRules, AveragesOverTheRefreshPeriodAndFormatsTheFigures) {
    HumidityAverage average;
    for (int i = 1; i < 6; ++i) {
        EXPECT_FALSE(average.add({double(i), 20.0, 30.0}, 6));
    }
    const auto point = average.add({6.0, 20.0, 30.0}, 6);
    ASSERT_TRUE(point);
    EXPECT_DOUBLE_EQ(point->humidity, 3.5);
    EXPECT_EQ(average.count(), 0);

    settings::setDecimalSeparator(QLatin1Char('.'));
    EXPECT_EQ(humidityFigure(45.678, 1), "46 ");
    EXPECT_EQ(humidityFigure(45.678, 3), "45.68 ");
    EXPECT_EQ(temperatureFigure(9.5), "9.50 ");
    EXPECT_EQ(temperatureFigure(19.75), "19.75 ");
    EXPECT_EQ(temperatureFigure(123.45), "123.45");
}

TEST(HumidityRules, IndicatorColourFollowsTheNestedBands) {
    const ToleranceLimits limits{4.85, 4.925, 5.075, 5.15};
    const QColor red(255, 0, 0);
    const QColor yellow(255, 255, 0);
    const QColor green(0, 128, 0);
    const std::vector<std::pair<double, QColor>> rows{
        {4.84, red},    {4.85, yellow}, {4.925, yellow}, {5.0, green},
        {5.075, green}, {5.1, yellow},  {5.15, yellow},  {5.16, red}};
    for (const auto& [value, colour] : rows) {
        EXPECT_EQ(indicatorColour(value, limits), colour) << value;
    }
}

} // namespace
} // namespace zorvan::graphs
