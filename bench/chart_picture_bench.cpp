// A picture of a threshold graph that ran for days: ten million points on a 1280 x 720 chart,
// saved as PNG and as PDF, against one repaint of the same chart. Prints figures; asserts nothing.
#include "chart/chart.h"
#include "graphs/chart_picture.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

constexpr int kPoints = 10'000'000;
constexpr int kRuns = 7;

template <typename Work> double medianMs(Work&& work) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const auto from = Clock::now();
        work();
        times.push_back(Millis(Clock::now() - from).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Readings above a threshold of 50: a slow swell with noise, one a second, coloured by band as
// the threshold mode does.
void fillThresholdGraph(zorvan::chart::LineSeries& series) {
    unsigned noise = 12345;
    for (int i = 0; i < kPoints; ++i) {
        noise = noise * 1103515245U + 12345U;
        const double y = 60.0 + 8.0 * std::sin(i * 1e-5) + double(noise >> 16 & 0xFF) / 64.0;
        series.append(double(i), y, double(i), y > 66.0 ? Qt::red : Qt::blue);
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    zorvan::chart::Chart chart;
    chart.resize(1280, 720);
    chart.setBackgroundColour(QColor(233, 222, 160));
    fillThresholdGraph(chart.addLineSeries());
    chart.show();
    QApplication::processEvents();

    QImage frame(chart.size() * chart.devicePixelRatio(), QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(chart.devicePixelRatio());
    const auto paintFrame = [&] {
        QPainter painter(&frame);
        chart.render(&painter);
    };
    const double repaint = medianMs(paintFrame);
    const QTemporaryDir folder;
    const double png = medianMs([&] {
        zorvan::graphs::writeChartPicture(chart, folder.filePath("graph.png"),
                                          zorvan::graphs::PictureKind::Png);
    });
    const double grab = medianMs([&] { chart.grab(); });
    const double pdf = medianMs([&] {
        zorvan::graphs::writeChartPicture(chart, folder.filePath("graph.pdf"),
                                          zorvan::graphs::PictureKind::Pdf);
    });
    std::printf("Picture of a %d-point threshold graph, %dx%d, median of %d:\n", kPoints,
                chart.width(), chart.height(), kRuns);
    std::printf("  one repaint %.1f ms\n", repaint);
    std::printf("  PNG picture %.1f ms (%.1f ms drawing it, the rest PNG encoding)\n", png, grab);
    std::printf("  PDF picture %.1f ms\n", pdf);
    std::printf("  (goal: drawing a picture takes no longer than one repaint)\n");
    return 0;
}
