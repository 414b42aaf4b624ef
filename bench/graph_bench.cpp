// The chart widget under the loads of the graph windows: a live graph sliding a 100,000-point
// window one reading at a time (against a Qt Charts line series doing the same), and unbounded
// series of millions of points: append cost, repaint cost and memory per point. Repaints are
// measured also into the backing image of a window on a screen scaled by 150 % and 200 %.
#include "chart/chart.h"
#include "graphs/vertical_scaling.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;
using zorvan::chart::Chart;
using zorvan::chart::LineSeries;

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kSpan = 100'000;
constexpr double kRatios[] = {1.0, 1.5, 2.0};

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * double(values.size() - 1))];
}

void printTimes(const char* what, const std::vector<double>& ms) {
    std::printf("  %-52s median %8.3f ms   p95 %8.3f ms   (%zu runs)\n", what, percentile(ms, 0.5),
                percentile(ms, 0.95), ms.size());
}

long residentBytes() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// A reading of an instrument: a slow wave with noise and an occasional spike.
class Signal {
public:
    explicit Signal(unsigned seed) : random_(seed) {}
    double next(double t) {
        const double spike = spikes_(random_) ? 40.0 * noise_(random_) : 0.0;
        return 100.0 + 20.0 * std::sin(t * 0.01) + noise_(random_) + spike;
    }

private:
    std::mt19937 random_;
    std::normal_distribution<double> noise_{0.0, 1.0};
    std::bernoulli_distribution spikes_{0.0005};
};

// What a window on a screen of the ratio paints into: the widget's size in device pixels.
QImage backingImage(double ratio) {
    QImage image(QSize(kWidth, kHeight) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    return image;
}

int percent(double ratio) {
    return int(std::lround(ratio * 100));
}

std::vector<double> slideOurChart(int readings, double ratio) {
    Chart chart;
    chart.resize(kWidth, kHeight);
    chart.setTitle(QStringLiteral("Live"));
    chart.setLegendVisible(true);
    LineSeries* series[] = {&chart.addLineSeries(), &chart.addLineSeries()};
    Signal signal(1);
    for (int i = 0; i < kSpan; ++i) {
        for (LineSeries* s : series) {
            s->append(i, signal.next(i), i * 0.018);
        }
    }
    chart.leftAxis().setAutomatic(false);
    chart.bottomAxis().setAutomatic(false);
    chart.bottomAxis().setMinMax(0, kSpan - 1);
    QImage image = backingImage(ratio);
    chart.render(&image);

    std::vector<double> ms;
    for (int r = 0; r < readings; ++r) {
        const auto start = Clock::now();
        const int n = kSpan + r;
        zorvan::graphs::SeriesExtent extents[2];
        for (int k = 0; k < 2; ++k) {
            series[k]->append(n, signal.next(n), n * 0.018);
            series[k]->removeFirst();
            extents[k] = {series[k]->minY(), series[k]->maxY()};
        }
        const auto range = zorvan::graphs::verticalRange(extents);
        chart.leftAxis().setMinMax(range.minimum, range.maximum);
        chart.bottomAxis().setMinMax(chart.bottomAxis().minimum() + 1,
                                     chart.bottomAxis().maximum() + 1);
        chart.render(&image);
        ms.push_back(Millis(Clock::now() - start).count());
    }
    return ms;
}

std::vector<double> slideQtCharts(int readings) {
    auto* chart = new QChart;
    QLineSeries* series[] = {new QLineSeries, new QLineSeries};
    auto* axisX = new QValueAxis;
    auto* axisY = new QValueAxis;
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    Signal signal(1);
    QList<QPointF> points[2];
    for (int i = 0; i < kSpan; ++i) {
        for (auto& p : points) {
            p.append(QPointF(i, signal.next(i)));
        }
    }
    for (int k = 0; k < 2; ++k) {
        series[k]->replace(points[k]);
        chart->addSeries(series[k]);
        series[k]->attachAxis(axisX);
        series[k]->attachAxis(axisY);
    }
    QChartView view(chart);
    view.resize(kWidth, kHeight);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    axisX->setRange(0, kSpan - 1);
    // QGraphicsView::render hides the widget one: that would draw the scene, not the view.
    view.QWidget::render(&image);

    std::vector<double> ms;
    for (int r = 0; r < readings; ++r) {
        const auto start = Clock::now();
        const int n = kSpan + r;
        zorvan::graphs::SeriesExtent extents[2];
        for (int k = 0; k < 2; ++k) {
            series[k]->remove(0);
            series[k]->append(n, signal.next(n));
            // The series keeps no extremes: finding them is part of its cost.
            double lowest = series[k]->at(0).y();
            double highest = lowest;
            for (const QPointF& p : series[k]->points()) {
                lowest = std::min(lowest, p.y());
                highest = std::max(highest, p.y());
            }
            extents[k] = {lowest, highest};
        }
        const auto range = zorvan::graphs::verticalRange(extents);
        axisY->setRange(range.minimum, range.maximum);
        axisX->setRange(n - kSpan + 1, n);
        view.QWidget::render(&image);
        ms.push_back(Millis(Clock::now() - start).count());
    }
    return ms;
}

void measureDynamicMode() {
    std::printf("Dynamic mode: 2 series, span %d, window full, %dx%d\n", kSpan, kWidth, kHeight);
    const std::vector<double> ours = slideOurChart(500, 1.0);
    printTimes("zorvan::chart, one reading (append+trim+axes+render)", ours);
    const std::vector<double> theirs = slideQtCharts(20);
    printTimes("Qt Charts QLineSeries, same steps", theirs);
    std::printf("  ratio (Qt Charts / ours): median %.0fx   p95 %.0fx   (goal: p95 of ours at most "
                "1.5 ms, at least 250x)\n",
                percentile(theirs, 0.5) / percentile(ours, 0.5),
                percentile(theirs, 0.95) / percentile(ours, 0.95));
    for (const double ratio : {1.5, 2.0}) {
        const QByteArray what = QByteArray("zorvan::chart, one reading at ") +
                                QByteArray::number(percent(ratio)) + " %";
        printTimes(what.constData(), slideOurChart(500, ratio));
    }
    std::printf("  (goal: p95 at 150 %% at most 1.5 ms)\n\n");
}

std::vector<double> repaintTimes(Chart& chart, int runs, double ratio) {
    QImage image = backingImage(ratio);
    chart.render(&image);
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        const auto start = Clock::now();
        chart.render(&image);
        ms.push_back(Millis(Clock::now() - start).count());
    }
    return ms;
}

// Returns the full-view repaint times at each of kRatios.
std::vector<std::vector<double>> measureUnbounded(int seriesCount, int pointsPerSeries) {
    std::printf("Unbounded: %d series of %d points, %dx%d\n", seriesCount, pointsPerSeries, kWidth,
                kHeight);
    // Made in advance, so the append figure is the series' own cost.
    std::vector<double> values(std::size_t(pointsPerSeries) + std::size_t(seriesCount));
    Signal signal(2);
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = signal.next(double(i));
    }
    const long residentBefore = residentBytes();
    Chart chart;
    chart.resize(kWidth, kHeight);
    std::vector<LineSeries*> series;
    for (int k = 0; k < seriesCount; ++k) {
        series.push_back(&chart.addLineSeries());
    }
    const auto start = Clock::now();
    for (int i = 0; i < pointsPerSeries; ++i) {
        for (int k = 0; k < seriesCount; ++k) {
            series[std::size_t(k)]->append(i * 0.018, values[std::size_t(i + k)], i * 0.018);
        }
    }
    const double appendNs = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    const double points = double(seriesCount) * pointsPerSeries;
    const long residentGrowth = residentBytes() - residentBefore;
    qsizetype held = 0;
    for (const LineSeries* s : series) {
        held += s->bytesHeld();
    }
    std::printf("  append: %.1f ns per point\n", appendNs / points);
    std::printf("  memory: %.1f bytes per point resident growth, %.1f bytes per point held by "
                "the series\n",
                double(residentGrowth) / points, double(held) / points);
    std::vector<std::vector<double>> fullViews;
    for (const double ratio : kRatios) {
        std::printf("  at %d %%:\n", percent(ratio));
        chart.leftAxis().setAutomatic(true);
        chart.bottomAxis().setAutomatic(true);
        fullViews.push_back(repaintTimes(chart, 100, ratio));
        printTimes("repaint, full view", fullViews.back());
        // Worst case for the pixels: every column of every series strokes the whole plot height.
        chart.leftAxis().setAutomatic(false);
        chart.leftAxis().setMinMax(99.0, 101.0);
        printTimes("repaint, full view, every column full height", repaintTimes(chart, 100, ratio));
        chart.leftAxis().setAutomatic(true);
        chart.bottomAxis().setAutomatic(false);
        const double middle = pointsPerSeries / 2 * 0.018;
        chart.bottomAxis().setMinMax(middle, middle + 1000 * 0.018);
        printTimes("repaint, zoomed into 1,000 points", repaintTimes(chart, 100, ratio));
    }
    std::printf("\n");
    return fullViews;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    measureDynamicMode();
    const auto small = measureUnbounded(5, 10'000);
    const auto large = measureUnbounded(5, 2'000'000);
    for (std::size_t r = 0; r < std::size(kRatios); ++r) {
        std::printf("Full view at %d %%, 2,000,000 against 10,000 points a series: median %.2fx   "
                    "p95 %.2fx   (goal: at most 1.3x)\n",
                    percent(kRatios[r]), percentile(large[r], 0.5) / percentile(small[r], 0.5),
                    percentile(large[r], 0.95) / percentile(small[r], 0.95));
    }
    for (std::size_t r = 1; r < std::size(kRatios); ++r) {
        std::printf(
            "Full view of 2,000,000 points a series at %d %% against 100 %%: median %.2fx   "
            "p95 %.2fx   (%.2fx the pixels; goal at 150 %%: at most 2.25x)\n",
            percent(kRatios[r]), percentile(large[r], 0.5) / percentile(large[0], 0.5),
            percentile(large[r], 0.95) / percentile(large[0], 0.95), kRatios[r] * kRatios[r]);
    }
    return 0;
}
