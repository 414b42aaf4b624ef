#include "chart/chart.h"
#include "chart/column_canvas.h"

#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace zorvan::chart {
namespace {

TEST(ChartAxis, MinimumAboveMaximumIsRefusedAndChangesNothing) {
    Chart chart;
    Axis& axis = chart.leftAxis();
    axis.setAutomatic(false);
    axis.setMinMax(0.0, 10.0);

    EXPECT_FALSE(axis.setMinimum(10.5));
    EXPECT_FALSE(axis.setMaximum(-0.5));
    EXPECT_EQ(axis.minimum(), 0.0);
    EXPECT_EQ(axis.maximum(), 10.0);

    EXPECT_TRUE(axis.setMinimum(10.0)); // equal is allowed
    EXPECT_TRUE(axis.setMaximum(10.0));
    EXPECT_EQ(axis.minimum(), 10.0);

    axis.setMinMax(5.0, -5.0);
    EXPECT_EQ(axis.minimum(), -5.0);
    EXPECT_EQ(axis.maximum(), 5.0);
}

// Strokes written straight into the painter's image of 32-bit pixels must come out as those drawn
// through the chart's own image (as into 24-bit pixels), also where the target holds only part
// of the chart and the strokes are wide or change colour.
TEST(ChartPixels, StrokesWrittenIntoTheTargetLookAsThoseDrawnThroughAnImage) {
    Chart chart;
    chart.resize(500, 300);
    LineSeries& thin = chart.addLineSeries();
    LineSeries& wide = chart.addLineSeries();
    wide.setPenWidth(3);
    for (int i = 0; i < 20'000; ++i) {
        thin.append(i, (i * 7919) % 1000 + (i % 5000 == 0 ? 4000 : 0));
        // Stroke heights that change from column to column, and a colour change in most.
        wide.append(i, ((i * 104729) % 1000) * std::sin(i * 0.0003), 0.0,
                    (i / 97) % 2 ? QColor(Qt::red) : QColor());
    }
    for (const QPoint offset : {QPoint(0, 0), QPoint(-60, 45)}) {
        QImage direct(520, 330, QImage::Format_RGB32);
        direct.fill(Qt::gray);
        chart.render(&direct, offset);
        QImage blitted(520, 330, QImage::Format_RGB888);
        blitted.fill(Qt::gray);
        chart.render(&blitted, offset);
        EXPECT_EQ(direct, blitted.convertToFormat(QImage::Format_RGB32)) << offset.x();
        int thinPixels = 0;
        for (int y = 0; y < direct.height(); ++y) {
            for (int x = 0; x < direct.width(); ++x) {
                thinPixels += direct.pixel(x, y) == thin.seriesColour().rgb();
            }
        }
        EXPECT_GT(thinPixels, 5'000);
    }
}

// However the canvas writes them, a later stroke lies over an earlier one: wide strokes of a pen
// three pixels wide that overlap their neighbours, in colours that change every few columns.
TEST(ChartPixels, ACanvasPaintsEachStrokeOverTheOnesBefore) {
    const QRect area(10, 20, 200, 150);
    std::mt19937 random(2);
    std::uniform_int_distribution<int> row(0, 200);
    std::bernoulli_distribution keepColour(0.7);
    const QColor colours[] = {Qt::red, Qt::blue};
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB888}) {
        QImage image(240, 200, format);
        image.fill(Qt::white);
        QImage want = image.convertToFormat(QImage::Format_RGB32);
        QPainter painter(&image);
        ColumnCanvas canvas;
        canvas.begin(painter, area);
        int colour = 0;
        for (int column = area.left(); column <= area.right(); ++column) {
            const int a = row(random);
            const int b = row(random);
            colour = keepColour(random) ? colour : 1 - colour;
            canvas.addStroke(column - 1, std::min(a, b), std::max(a, b), 3, colours[colour]);
            const QRect stroke =
                QRect(column - 1, std::min(a, b), 3, std::abs(a - b) + 1).intersected(area);
            for (int y = stroke.top(); y <= stroke.bottom(); ++y) {
                for (int x = stroke.left(); x <= stroke.right(); ++x) {
                    want.setPixel(x, y, colours[colour].rgb());
                }
            }
        }
        canvas.drawAll();
        painter.end();
        EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), want) << format;
    }
}

// The ticks of a labelled bottom axis as an engineer reads them: each names a point that is
// there, no point twice, and none stands right of the newest point.
void expectTicksOnPointsOnceEach(const Chart& chart, const LineSeries& series) {
    const std::vector<Chart::BottomTick> ticks = chart.bottomTicks();
    ASSERT_FALSE(ticks.empty());
    QStringList texts;
    for (const Chart::BottomTick& tick : ticks) {
        qsizetype point = 0;
        while (point < series.count() && series.x(point) != tick.x) {
            ++point;
        }
        ASSERT_LT(point, series.count()) << "a tick at " << tick.x << " stands on no point";
        EXPECT_EQ(tick.text, series.label(point));
        EXPECT_FALSE(texts.contains(tick.text)) << tick.text.toStdString() << " twice";
        texts.push_back(tick.text);
    }
}

TEST(ChartTimeAxis, LabelsStandOnPointsOnceEachAndNeverRightOfTheNewest) {
    const struct {
        const char* what;
        std::vector<double> xs;
        double secondsPerX = 1.0;
    } cases[] = {
        {"one point", {0.0}},
        {"few points", {0.0, 3.1, 3.6}},
        {"a running graph on a longer axis", {0, 1, 2, 3, 4, 5, 6}},
        {"unevenly spaced points", {0, 0.2, 9.5, 9.7, 17.9}},
        {"points closer in time than the labels tell", {0, 4, 8, 12, 16}, 0.001},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        Chart chart;
        chart.resize(640, 480);
        chart.bottomAxis().setAutomatic(false);
        chart.bottomAxis().setMinMax(0.0, 18.0);
        LineSeries& series = chart.addLineSeries();
        series.setLabelFormat([](double time) { return QString::number(time, 'f', 2) + 'c'; });
        for (const double x : test.xs) {
            series.append(x, x, x * test.secondsPerX);
        }
        expectTicksOnPointsOnceEach(chart, series);
    }
}

class ShownChart : public testing::Test {
protected:
    void SetUp() override {
        LineSeries& series = chart.addLineSeries();
        for (int i = 0; i <= 100; ++i) {
            series.append(i, i % 10);
        }
        chart.resize(640, 480);
        chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
        plot = chart.plotArea();
    }

    void drag(QPoint from, QPoint to) {
        QTest::mousePress(&chart, Qt::LeftButton, {}, from);
        QTest::mouseRelease(&chart, Qt::LeftButton, {}, to);
    }

    Chart chart;
    QRect plot;
};

TEST_F(ShownChart, DragDownRightZoomsInAndDragUpLeftReturnsToTheFullView) {
    const ValueRange fullX = chart.visibleXRange();
    const ValueRange fullY = chart.visibleYRange();
    ASSERT_EQ(fullX.minimum, 0.0);
    ASSERT_EQ(fullX.maximum, 100.0);

    const QPoint start = plot.topLeft() + QPoint(plot.width() / 4, plot.height() / 4);
    const QPoint end = plot.topLeft() + QPoint(plot.width() / 2, plot.height() * 3 / 4);
    drag(start, start); // a plain click
    EXPECT_FALSE(chart.zoomed());

    drag(start, end);
    ASSERT_TRUE(chart.zoomed());
    const ValueRange zoomedX = chart.visibleXRange();
    const ValueRange zoomedY = chart.visibleYRange();
    EXPECT_NEAR(zoomedX.minimum, 25.0, 1.0);
    EXPECT_NEAR(zoomedX.maximum, 50.0, 1.0);
    EXPECT_NEAR(zoomedY.minimum, fullY.minimum + (fullY.maximum - fullY.minimum) / 4, 0.1);
    EXPECT_NEAR(zoomedY.maximum, fullY.minimum + (fullY.maximum - fullY.minimum) * 3 / 4, 0.1);
    // The axes keep their own range under the zoom.
    EXPECT_EQ(chart.bottomAxis().maximum(), 100.0);

    drag(end, start);
    EXPECT_FALSE(chart.zoomed());
    EXPECT_EQ(chart.visibleXRange().minimum, fullX.minimum);
    EXPECT_EQ(chart.visibleXRange().maximum, fullX.maximum);
}

TEST_F(ShownChart, DoubleClickSignalsAndARightClickInPlaceOpensThePopupMenu) {
    QSignalSpy doubleClicks(&chart, &Chart::doubleClicked);
    QTest::mouseDClick(&chart, Qt::LeftButton, {}, plot.center());
    EXPECT_EQ(doubleClicks.count(), 1);
    EXPECT_FALSE(chart.zoomed());

    QMenu menu;
    QAction* action = menu.addAction(QStringLiteral("Copy"));
    chart.setPopupMenu(&menu);

    action->setVisible(false);
    QTest::mouseClick(&chart, Qt::RightButton, {}, plot.center());
    EXPECT_FALSE(menu.isVisible()) << "a menu with no visible action stays shut";

    action->setVisible(true);
    QTest::mousePress(&chart, Qt::RightButton, {}, plot.center());
    QTest::mouseRelease(&chart, Qt::RightButton, {}, plot.center() + QPoint(30, 0));
    EXPECT_FALSE(menu.isVisible()) << "a right drag is not a click";

    QTest::mouseClick(&chart, Qt::RightButton, {}, plot.center());
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}

} // namespace
} // namespace zorvan::chart
