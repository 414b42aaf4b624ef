#include "chart/chart.h"
#include "chart/column_canvas.h"
#include "chart/plot_view.h"

#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
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

// The series as the painter draws it, the yardstick of the strokes: a polyline through every
// point, of the series' width in widget pixels, each segment in the colour of the point it ends at.
void drawPlainly(QPainter& painter, const LineSeries& series, const PlotView& view) {
    std::vector<QPointF> line;
    QColor colour = series.colour(0);
    const auto flush = [&] {
        painter.setPen(QPen(colour, series.penWidth()));
        painter.drawPolyline(line.data(), int(line.size()));
        line.erase(line.begin(), line.end() - 1);
    };
    for (qsizetype i = 0; i < series.count(); ++i) {
        if (series.colour(i) != colour) {
            flush();
            colour = series.colour(i);
        }
        line.emplace_back(view.pixelX(series.x(i)), view.pixelY(series.y(i)));
    }
    flush();
}

struct Coverage {
    int pixels = 0; // of the colour
    int stray = 0;  // of those, how many lie farther than the reach from the colour in the other
};

Coverage coverage(const QImage& image, const QImage& other, QRgb pixel, int reach) {
    const auto near = [&](int x, int y) {
        for (int v = std::max(0, y - reach); v <= std::min(other.height() - 1, y + reach); ++v) {
            for (int u = std::max(0, x - reach); u <= std::min(other.width() - 1, x + reach); ++u) {
                if (other.pixel(u, v) == pixel) {
                    return true;
                }
            }
        }
        return false;
    };
    Coverage result;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == pixel) {
                ++result.pixels;
                result.stray += !near(x, y);
            }
        }
    }
    return result;
}

class ChartOnScaledScreen : public testing::TestWithParam<double> {};

// At each ratio of a scaled screen, dense series drawn as strokes look as the painter draws their
// lines at that ratio. They differ from the painter's line by their shape: each stroke joins its
// column to the neighbour's last point, a wide one is a vertical brush rather than a pen, and a
// column takes the colour of its last point. So each colour's pixels must lie within one line
// width, in device pixels, of the same colour in the painter's picture and the other way round,
// and number within a factor of 1.4 of it: lines drawn in widget pixels land elsewhere, lines of
// the widget's width in device pixels have too few. Strokes written straight into the painter's
// image of 32-bit pixels must come out as those drawn through the chart's own image (as into
// 24-bit pixels or a pixmap), also where the target holds only part of the chart.
TEST_P(ChartOnScaledScreen, DenseSeriesLookAsThePainterDrawsThemDirectlyOrThroughAnImage) {
    const double ratio = GetParam();
    Chart chart;
    chart.resize(500, 300);
    // Margins, so that no line meets the plot's frame, drawn over them by the chart only.
    chart.bottomAxis().setAutomatic(false);
    chart.bottomAxis().setMinMax(-1'000, 21'000);
    chart.leftAxis().setAutomatic(false);
    chart.leftAxis().setMinMax(-2'000, 2'600);
    LineSeries& thin = chart.addLineSeries();
    LineSeries& wide = chart.addLineSeries();
    wide.setPenWidth(3);
    for (int i = 0; i < 20'000; ++i) {
        // Spikes a point wide: tall strokes, of their own colour for a column.
        thin.append(i, 700 + 800 * std::sin(i * 0.0011) + (i % 5000 == 0 ? 900 : 0));
        wide.append(i, -1200 + 400 * std::sin(i * 0.0005), 0.0,
                    (i / 2000) % 2 ? QColor(Qt::red) : QColor());
    }
    const auto render = [&](QImage::Format format, QPoint offset) {
        QImage image(QSize(520, 330) * ratio, format);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::gray);
        chart.render(&image, offset);
        return image.convertToFormat(QImage::Format_RGB32);
    };
    EXPECT_EQ(render(QImage::Format_RGB32, {-60, 45}), render(QImage::Format_RGB888, {-60, 45}));
    const QImage got = render(QImage::Format_RGB32, {});
    EXPECT_EQ(got, render(QImage::Format_RGB888, {}));
    // As a picture of the chart is taken.
    QPixmap picture(QSize(520, 330) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::gray);
    chart.render(&picture);
    EXPECT_EQ(got, picture.toImage().convertToFormat(QImage::Format_RGB32));

    thin.setVisible(false);
    wide.setVisible(false);
    QImage want = render(QImage::Format_RGB32, {});
    QPainter painter(&want);
    const PlotView view{chart.plotArea(), chart.visibleXRange(), chart.visibleYRange()};
    painter.setClipRect(view.area);
    drawPlainly(painter, thin, view);
    drawPlainly(painter, wide, view);
    painter.end();
    for (const auto& [series, colour] :
         {std::pair{&thin, thin.seriesColour()}, std::pair{&wide, wide.seriesColour()},
          std::pair{&wide, QColor(Qt::red)}}) {
        SCOPED_TRACE(colour.name().toStdString());
        const int reach = int(std::ceil(series->penWidth() * ratio));
        const Coverage strokes = coverage(got, want, colour.rgb(), reach);
        const Coverage line = coverage(want, got, colour.rgb(), reach);
        EXPECT_EQ(strokes.stray, 0);
        EXPECT_EQ(line.stray, 0);
        EXPECT_GT(line.pixels, 500);
        EXPECT_LT(strokes.pixels, line.pixels * 1.4);
        EXPECT_GT(strokes.pixels * 1.4, line.pixels);
    }
}

INSTANTIATE_TEST_SUITE_P(Ratios, ChartOnScaledScreen, testing::Values(1.0, 1.25, 1.5, 2.0),
                         [](const auto& info) {
                             return "at" + std::to_string(int(info.param * 100));
                         });

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
