#include "chart/line_series.h"

#include <algorithm>
#include <deque>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace zorvan::chart {
namespace {

// Colour changes every 1000 points, every third run being the series colour.
QColor colourOfPoint(int n) {
    const int run = n / 1000;
    return run % 3 == 0 ? QColor() : QColor::fromHsv(run * 37 % 360, 200, 200);
}

TEST(LineSeriesRing, SlidingWindowKeepsTheNewestPointsOnStorageThatDoesNotGrow) {
    constexpr int kWindow = 10'000; // spans several chunks
    LineSeries series;
    series.setColour(Qt::darkGreen);
    qsizetype heldOnceFull = 0;
    for (int n = 0; n < 20 * kWindow; ++n) {
        series.append(n * 0.5, n % 97, 1000.0 + n, colourOfPoint(n));
        if (series.count() > kWindow) {
            series.removeFirst();
        }
        if (n == 2 * kWindow) {
            heldOnceFull = series.bytesHeld();
        }
    }
    ASSERT_EQ(series.count(), kWindow);
    const int oldest = 19 * kWindow;
    for (int i = 0; i < kWindow; ++i) {
        const int n = oldest + i;
        ASSERT_EQ(series.x(i), n * 0.5) << i;
        ASSERT_EQ(series.y(i), n % 97) << i;
        ASSERT_EQ(series.time(i), 1000.0 + n) << i;
        const QColor expected = colourOfPoint(n).isValid() ? colourOfPoint(n) : Qt::darkGreen;
        ASSERT_EQ(series.colour(i), expected) << i;
    }
    // Chunks emptied at the front are freed or reused, so sliding on costs no more memory.
    EXPECT_LT(series.bytesHeld(), heldOnceFull * 5 / 4);
}

struct Reference {
    std::deque<double> y;
    double minimum() const { return y.empty() ? 0.0 : *std::min_element(y.begin(), y.end()); }
    double maximum() const { return y.empty() ? 0.0 : *std::max_element(y.begin(), y.end()); }
};

TEST(LineSeriesExtremes, MatchBruteForceUnderRandomAppendsAndFrontRemovals) {
    std::mt19937 random(7);
    // Few distinct values, so equal values keep meeting in the deques.
    std::uniform_int_distribution<int> value(-20, 20);
    std::bernoulli_distribution appends(0.52);
    LineSeries series;
    Reference reference;
    for (int step = 0; step < 20'000; ++step) {
        if (appends(random) || reference.y.empty()) {
            const double y = value(random);
            series.append(step, y);
            reference.y.push_back(y);
        } else {
            series.removeFirst();
            reference.y.pop_front();
        }
        ASSERT_EQ(series.minY(), reference.minimum()) << "step " << step;
        ASSERT_EQ(series.maxY(), reference.maximum()) << "step " << step;
    }

    series.clear();
    reference.y.clear();
    EXPECT_EQ(series.minY(), 0.0);
    EXPECT_EQ(series.maxY(), 0.0);
    std::normal_distribution<double> drift(0.0, 1.0);
    double y = 0.0;
    for (int step = 0; step < 5'000; ++step) {
        y += drift(random);
        series.append(step, y);
        reference.y.push_back(y);
        ASSERT_EQ(series.minY(), reference.minimum()) << "append-only step " << step;
        ASSERT_EQ(series.maxY(), reference.maximum()) << "append-only step " << step;
    }
}

TEST(LineSeriesInsert, InsertInXOrderKeepsXOrderColoursAndExtremes) {
    struct Point {
        double x;
        double y;
        QColor colour;
    };
    std::mt19937 random(11);
    std::uniform_int_distribution<int> xs(0, 300); // many equal x
    std::uniform_real_distribution<double> ys(-1.0, 1.0);
    const QColor colours[] = {QColor(), QColor(Qt::red), QColor(Qt::blue)};
    LineSeries series;
    std::vector<Point> reference;
    for (int n = 0; n < 1500; ++n) {
        const Point point{double(xs(random)), ys(random), colours[n / 7 % 3]};
        series.insertInXOrder(point.x, point.y, 0.0, point.colour);
        reference.insert(std::upper_bound(reference.begin(), reference.end(), point.x,
                                          [](double x, const Point& p) { return x < p.x; }),
                         point);
        if (n % 5 == 4) { // front removals between insertions keep the absolute numbering moving
            series.removeFirst();
            reference.erase(reference.begin());
        }
    }
    ASSERT_EQ(series.count(), qsizetype(reference.size()));
    double lowest = 1.0;
    double highest = -1.0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        ASSERT_EQ(series.x(qsizetype(i)), reference[i].x) << i;
        ASSERT_EQ(series.y(qsizetype(i)), reference[i].y) << i;
        const QColor expected =
            reference[i].colour.isValid() ? reference[i].colour : series.seriesColour();
        ASSERT_EQ(series.colour(qsizetype(i)), expected) << i;
        lowest = std::min(lowest, reference[i].y);
        highest = std::max(highest, reference[i].y);
    }
    EXPECT_EQ(series.minY(), lowest);
    EXPECT_EQ(series.maxY(), highest);
}

TEST(LineSeriesLabels, AreFormattedFromTheTimeOfThePoint) {
    LineSeries series;
    series.append(1.0, 2.0, 90.0);
    EXPECT_FALSE(series.hasLabels());
    EXPECT_EQ(series.label(0), QString());
    series.setLabelFormat([](double time) { return QString::number(time / 60.0) + "min"; });
    EXPECT_EQ(series.label(0), QStringLiteral("1.5min"));
}

// Points read back from a file keep their own text through trims (dropped in bulk past a
// thousand), an insertion among them and the live points that follow, which are formatted.
TEST(LineSeriesLabels, OwnLabelsStayWithTheirPointsAndLivePointsAreFormatted) {
    LineSeries series;
    series.setLabelFormat([](double time) { return QString::number(time) + "s"; });
    for (int i = 0; i < 3000; ++i) {
        series.appendLabelled(
            i, 0.0, i, QStringLiteral(" %1мин.").arg(i, 3, 10, QLatin1Char('0')).toStdString());
    }
    series.append(3000, 0.0, 7.5);
    series.insertInXOrder(10.5, 0.0, 2.5);
    for (int i = 0; i < 2000; ++i) {
        series.removeFirst();
    }
    EXPECT_EQ(series.label(0), QStringLiteral(" 1999мин.")) << "point 2000 before the insertion";
    EXPECT_EQ(series.label(999), QStringLiteral(" 2998мин."));
    EXPECT_EQ(series.label(1001), QStringLiteral("7.5s"));
    series.clear();
    series.append(0, 0.0, 4.0);
    EXPECT_EQ(series.label(0), QStringLiteral("4s"));
}

} // namespace
} // namespace zorvan::chart
