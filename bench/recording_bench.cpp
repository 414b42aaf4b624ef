// What a crash-safe recording costs a reading: one humidity line formatted and written to the
// end of the file on the calling thread, then flushed to the disk by the writer; once alone and
// once while the writer rewrites a week's file beside it, as the 5-minute save of a long humidity
// graph does. Prints figures; asserts nothing.
#include "graphs/graph_file.h"
#include "graphs/recording_file.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using zorvan::graphs::GraphFileValue;
using zorvan::graphs::RecordingFile;

constexpr int kPoints = 5000;
// Readings come no faster than this at the shortest read period.
constexpr auto kReadPeriod = std::chrono::milliseconds(1);
// A week of humidity points at one a second.
constexpr int kWeekPoints = 7 * 24 * 3600;
constexpr int kRewriteEvery = 1000;

QByteArray lineOf(int point) {
    const std::string_view time = "1234.56";
    const GraphFileValue values[] = {
        {45.0 + point % 300 * 0.01, 2}, {23.4, 2}, {10.0, 2}, {24.0, 2}};
    QByteArray line;
    zorvan::graphs::appendGraphFileLine(line, time, qsizetype(time.size()) + 4, values, '.');
    return line;
}

void measure(const QString& path, bool rewrites, const QByteArray& week) {
    RecordingFile recording(path, {});
    std::vector<double> microseconds;
    microseconds.reserve(kPoints);
    for (int point = 0; point < kPoints; ++point) {
        if (rewrites && point % kRewriteEvery == 0) {
            recording.rewrite([&week] { return week; });
        }
        const QByteArray line = lineOf(point);
        const auto from = Clock::now();
        recording.append(line);
        microseconds.push_back(
            std::chrono::duration<double, std::micro>(Clock::now() - from).count());
        std::this_thread::sleep_for(kReadPeriod);
    }
    const auto flushFrom = Clock::now();
    recording.finish();
    const double lastFlush =
        std::chrono::duration<double, std::milli>(Clock::now() - flushFrom).count();
    std::sort(microseconds.begin(), microseconds.end());
    const QByteArray beside = rewrites
                                  ? ", a week's file (" + QByteArray::number(week.size() >> 20) +
                                        " MB) rewritten every 1000 points"
                                  : QByteArray();
    std::printf("recording, %d humidity points%s: append on the calling thread p50 %.1f us, "
                "p99.9 %.1f us, max %.1f us; the finish %.1f ms\n",
                kPoints, beside.constData(), microseconds[kPoints / 2],
                microseconds[kPoints * 999 / 1000], microseconds.back(), lastFlush);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    QByteArray week;
    for (int point = 0; point < kWeekPoints; ++point) {
        week += lineOf(point);
    }
    measure(folder.filePath(QStringLiteral("alone.txt")), false, week);
    measure(folder.filePath(QStringLiteral("beside.txt")), true, week);
    return 0;
}
