#include "chart/column_envelope.h"
#include "chart/envelope_cache.h"

#include <gtest/gtest.h>
#include <map>
#include <random>

namespace zorvan::chart {
namespace {

// Every column with points must come out once, in order, with its first and last point and the
// true lowest and highest Y of all its points, found here by looking at every point. Without a
// cache the envelope is made afresh.
void expectEnvelopeMatchesBruteForce(const LineSeries& series, double from, double to, int columns,
                                     EnvelopeCache* cache = nullptr) {
    const ColumnMapping mapping(from, to, columns);
    struct Column {
        qsizetype first;
        qsizetype last;
        double minimum;
        double maximum;
    };
    std::map<int, Column> expected;
    for (qsizetype i = 0; i < series.count(); ++i) {
        const int column = mapping.columnOf(series.x(i));
        if (column < 0 || column >= columns) {
            continue;
        }
        const auto [it, added] =
            expected.try_emplace(column, Column{i, i, series.y(i), series.y(i)});
        it->second.last = i;
        it->second.minimum = std::min(it->second.minimum, series.y(i));
        it->second.maximum = std::max(it->second.maximum, series.y(i));
    }
    const std::vector<ColumnExtremes> envelope =
        cache ? cache->envelope(series, mapping) : columnEnvelope(series, mapping);
    ASSERT_EQ(envelope.size(), expected.size()) << from << ".." << to << " in " << columns;
    if (cache) {
        const IndexRange points = cache->points(series, mapping);
        ASSERT_EQ(points.first, expected.empty() ? points.end : expected.begin()->second.first);
        ASSERT_EQ(points.end, expected.empty() ? points.first : expected.rbegin()->second.last + 1);
    }
    auto want = expected.begin();
    for (const ColumnExtremes& got : envelope) {
        SCOPED_TRACE(testing::Message()
                     << from << ".." << to << " in " << columns << " column " << got.column);
        ASSERT_EQ(got.column, want->first);
        ASSERT_EQ(got.first, want->second.first);
        ASSERT_EQ(got.last, want->second.last);
        ASSERT_EQ(got.firstY, series.y(got.first));
        ASSERT_EQ(got.lastY, series.y(got.last));
        ASSERT_EQ(got.y.minimum, want->second.minimum);
        ASSERT_EQ(got.y.maximum, want->second.maximum);
        ++want;
    }
}

void expectEveryViewMatches(const LineSeries& series) {
    const double first = series.x(0);
    const double last = series.x(series.count() - 1);
    const double span = last - first;
    const double views[][2] = {
        {first, last},                               // full view
        {first + span * 0.3, first + span * 0.3001}, // zoomed in to a few points
        {first + span * 0.25, first + span * 0.75},  // zoomed in
        {first - span * 0.5, first + span * 0.4},    // partly left of the data
        {first + span * 0.9, last + span},           // partly right of the data
    };
    for (const auto& view : views) {
        for (int columns : {1, 7, 640, 1280}) {
            expectEnvelopeMatchesBruteForce(series, view[0], view[1], columns);
        }
    }
}

TEST(ColumnEnvelope, EveryColumnHoldsTheTrueExtremesOfItsPointsAlsoAfterAppendsAndTrims) {
    std::mt19937 random(3);
    std::exponential_distribution<double> gap(1.0);
    std::bernoulli_distribution sameX(0.1);
    std::normal_distribution<double> step(0.0, 1.0);
    std::bernoulli_distribution spike(0.001);
    LineSeries series;
    double x = 0.0;
    double y = 0.0;
    const auto appendPoints = [&](int count) {
        for (int n = 0; n < count; ++n) {
            x += sameX(random) ? 0.0 : gap(random);
            y += step(random);
            series.append(x, spike(random) ? y + 1000.0 * step(random) : y);
        }
    };
    appendPoints(50'000);
    expectEveryViewMatches(series);

    for (int n = 0; n < 12'345; ++n) {
        series.removeFirst();
    }
    appendPoints(7'000);
    expectEveryViewMatches(series);
}

// The kept envelope follows a live series from repaint to repaint: a sliding window whose view
// moves with it, an endless one whose full view widens, and a jump of the view in between. The
// values repeat, so points holding a column's extreme keep leaving its edges.
TEST(ColumnEnvelope, AKeptEnvelopeStaysTrueThroughReadingsAndViewChanges) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> value(0, 9);
    LineSeries series;
    EnvelopeCache cache;
    qsizetype next = 0;
    const auto read = [&] { series.append(double(next++), value(random)); };
    for (int i = 0; i < 20'000; ++i) {
        read();
    }
    for (int step = 0; step < 60; ++step) {
        read();
        series.removeFirst();
        const double first = series.x(0);
        expectEnvelopeMatchesBruteForce(series, first, first + 19'999, 640, &cache);
    }
    expectEnvelopeMatchesBruteForce(series, series.x(0) + 500, series.x(0) + 9'000, 640, &cache);
    for (int step = 0; step < 60; ++step) {
        read();
        expectEnvelopeMatchesBruteForce(series, series.x(0), double(next - 1), 640, &cache);
    }
    series.insertInXOrder(series.x(100) + 0.5, 100.0);
    expectEnvelopeMatchesBruteForce(series, series.x(0), double(next - 1), 640, &cache);
}

} // namespace
} // namespace zorvan::chart
