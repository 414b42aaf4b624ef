// Start-up and memory of the program beside a bare Qt window measured in the same run: time
// from process start to the first paint of the main window, and resident memory after a minute
// of polling two instruments served by zorvan-sim at 9600 bit/s.
// Usage: bench_startup [seconds of polling, default 60]
#include "settings/keys.h"
#include "settings/settings_path.h"
#include "settings/typed_settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

struct Run {
    double startMs = -1;
    long rssKiB = -1;
};

Run measure(const QStringList& arguments, int seconds) {
    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    probe.setProcessEnvironment(environment);
    const long long started = monotonicNs();
    probe.start(QStringLiteral(ZORVAN_STARTUP_PROBE),
                arguments + QStringList{QString::number(seconds)});
    probe.waitForFinished(seconds * 1000 + 30000);
    Run run;
    for (const QByteArray& line : probe.readAllStandardOutput().split('\n')) {
        if (line.startsWith("first-paint-ns ")) {
            run.startMs = static_cast<double>(line.mid(15).toLongLong() - started) / 1e6;
        } else if (line.startsWith("rss-kib ")) {
            run.rssKiB = line.mid(8).toLong();
        }
    }
    return run;
}

double medianStart(const QStringList& arguments) {
    std::vector<double> starts;
    for (int i = 0; i < 7; ++i) {
        starts.push_back(measure(arguments, 0).startMs);
    }
    std::sort(starts.begin(), starts.end());
    return starts[starts.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    QTemporaryDir folder;
    const QString link = folder.filePath(QStringLiteral("bus"));
    QProcess simulator;
    simulator.start(QStringLiteral(ZORVAN_SIM), {QStringLiteral("--link"), link,
                                                 QStringLiteral("--baud"), QStringLiteral("9600")});
    for (int wait = 0; wait < 100 && !QFile::exists(link); ++wait) {
        QThread::msleep(20);
    }
    const QString settings = folder.filePath(QStringLiteral("probe.ini"));
    {
        using namespace zorvan::settings;
        setSettingsFilePath(settings);
        writeSetting(kComPort, link);
        writeSetting(kDeviceAddress[0], 10);
        writeSetting(kDeviceAddress[1], 11);
    }

    const QStringList program{QStringLiteral("program"), settings};
    const QStringList bare{QStringLiteral("bare")};
    const double programStart = medianStart(program);
    const double bareStart = medianStart(bare);
    std::printf("start to first paint: program %.1f ms, bare Qt window %.1f ms, ratio %.2f "
                "(goal <= 4)\n",
                programStart, bareStart, programStart / bareStart);
    const Run programRun = measure(program, seconds);
    const Run bareRun = measure(bare, seconds);
    std::printf("resident memory after %d s: program %.1f MiB (polling), bare Qt window %.1f MiB, "
                "ratio %.2f (goal <= 2)\n",
                seconds, programRun.rssKiB / 1024.0, bareRun.rssKiB / 1024.0,
                static_cast<double>(programRun.rssKiB) / static_cast<double>(bareRun.rssKiB));
    simulator.terminate();
    simulator.waitForFinished(3000);
    return 0;
}
