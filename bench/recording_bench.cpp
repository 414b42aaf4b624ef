// What a crash-safe recording costs a reading: one humidity line formatted and written to the
// end of the file on the calling thread, then flushed to the disk by the writer. Prints figures;
// asserts nothing.
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

constexpr int kPoints = 2000;
// Readings come no faster than this at the shortest read period.
constexpr auto kReadPeriod = std::chrono::milliseconds(2);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    zorvan::graphs::RecordingFile recording(folder.filePath(QStringLiteral("recording.txt")), {});
    std::vector<double> microseconds;
    microseconds.reserve(kPoints);
    const std::string_view time = "1234.56";
    for (int point = 0; point < kPoints; ++point) {
        const GraphFileValue values[] = {
            {45.0 + point % 300 * 0.01, 2}, {23.4, 2}, {10.0, 2}, {24.0, 2}};
        const auto from = Clock::now();
        QByteArray line;
        zorvan::graphs::appendGraphFileLine(line, time, qsizetype(time.size()) + 4, values, '.');
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
    std::printf("recording, %d humidity points: append on the calling thread median %.1f us, p95 "
                "%.1f us, max %.1f us; the last flush to disk %.2f ms\n",
                kPoints, microseconds[kPoints / 2], microseconds[kPoints * 95 / 100],
                microseconds.back(), lastFlush);
    return 0;
}
