// The real program ended from outside (SIGTERM: a log-out, `kill`) while a graph or the sweep
// runs, and with a silent instrument: what reaches the disk and the line, and that it ends.
#include "graphs/graph_file.h"
#include "link/command_codes.h"
#include "settings/ini_file.h"
#include "settings/keys.h"
#include "tests/support/simulated_line.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>

namespace zorvan::app {
namespace {

using testing::request;
using Frame = std::vector<std::uint8_t>;

constexpr std::uint8_t kFirst = 10;
const Frame kUnlock = request(kFirst, link::kServiceCode, link::kUnlockKeyboard);
// Far above what the orderly end takes, far below the read time-outs it must not wait out.
constexpr int kEndBoundMs = 4000;

bool waitUntil(const std::function<bool()>& condition, int boundMs = 15000) {
    for (int waited = 0; waited < boundMs; waited += 20) {
        if (condition()) {
            return true;
        }
        QThread::msleep(20);
    }
    return false;
}

class OrderedEnd : public ::testing::Test {
protected:
    OrderedEnd() : settingsFile(folder.filePath(QStringLiteral("zorvan.ini"))) {}

    // Starts a copy of the program of its own (its own settings file and single-instance name)
    // on the simulated line, with `window` opened and started.
    void start(std::uint8_t kind, const char* window, int readTimeoutMs = 100) {
        instrument = line.add(kFirst, {10, kind, 5, 7});
        instrument->setReading(45.0);
        using namespace settings;
        const auto write = [&](const auto& key, const QString& value) {
            settingsFile.writeString(key.section, key.name, value);
        };
        write(kComPort, QString::fromStdString(line.server->path()));
        write(kDeviceAddress[0], QString::number(kFirst));
        write(kReadTotalTimeoutConstant, QString::number(readTimeoutMs));
        write(kPollPeriod, QStringLiteral("100"));
        write(kRefreshPeriod, QStringLiteral("1"));
        write(kSweepMin, QStringLiteral("300"));
        write(kSweepPause, QStringLiteral("1"));
        write(kRestartOnExit, QStringLiteral("1"));
        write(kReadPeriod, QStringLiteral("20"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(ZORVAN_PROGRAM_WITH_WINDOW), program()));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("ZORVAN_WINDOW"), QString::fromLatin1(window));
        running.setProcessEnvironment(environment);
        startAgain();
    }

    void startAgain() {
        running.start(program(), {});
        ASSERT_TRUE(running.waitForStarted(5000));
    }

    QString program() const { return folder.filePath(QStringLiteral("zorvan")); }

    // Sends SIGTERM and waits for the end; the time it took, printed.
    qint64 terminate() {
        sentBeforeEnd = line.frames().size();
        QElapsedTimer clock;
        clock.start();
        running.terminate();
        EXPECT_TRUE(running.waitForFinished(kEndBoundMs)) << "still running after SIGTERM";
        const qint64 took = clock.elapsed();
        std::printf("SIGTERM to exit: %lld ms\n", static_cast<long long>(took));
        EXPECT_EQ(running.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(running.exitCode(), 0);
        return took;
    }

    int countOf(const Frame& frame) const {
        const auto frames = line.frames();
        return static_cast<int>(std::count(frames.begin(), frames.end(), frame));
    }

    bool unlockSentAtTheEnd() const {
        const auto frames = line.frames();
        return std::find(frames.begin() + static_cast<std::ptrdiff_t>(sentBeforeEnd), frames.end(),
                         kUnlock) != frames.end();
    }

    // The threshold graph's automatic file; empty unless there is exactly one.
    // The threshold recording's file; empty when there is none, and an error when there are two.
    QString thresholdRecording() const {
        const QStringList recorded =
            QDir(folder.path()).entryList({QStringLiteral("_* порог*.txt")}, QDir::Files);
        EXPECT_LE(recorded.size(), 1) << recorded.join(u',').toStdString();
        return recorded.size() == 1 ? folder.filePath(recorded.front()) : QString();
    }

    bool positionsSaved() const {
        const settings::IntegerKey& left = settings::kWindowLeft[0];
        return settingsFile.readString(left.section, left.name).has_value();
    }

    void TearDown() override {
        if (running.state() != QProcess::NotRunning) {
            running.kill();
            running.waitForFinished(5000);
        }
    }

    QTemporaryDir folder;
    settings::IniFile settingsFile;
    testing::SimulatedLine line;
    std::optional<sim::InstrumentHandle> instrument;
    QProcess running;
    std::size_t sentBeforeEnd = 0;
};

TEST_F(OrderedEnd, SigtermDuringAHumidityRecordingSavesItAndEnds) {
    start(80, "humidity");
    const Frame humidityRead = request(0x80 | kFirst, link::kHumiditySampleCode, 10);
    // Two averaged points at one a second.
    ASSERT_TRUE(waitUntil([&] { return countOf(humidityRead) >= 3; }));

    terminate();

    const QStringList saved =
        QDir(folder.path()).entryList({QStringLiteral("_*.txt")}, QDir::Files);
    ASSERT_EQ(saved.size(), 1) << "the recording's file beside the settings file";
    QFile file(folder.filePath(saved.front()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_GE(file.readAll().count("\r\n"), 2);
    EXPECT_TRUE(positionsSaved());
    EXPECT_TRUE(unlockSentAtTheEnd());
}

// A crash, `kill -9` or a power cut in the middle of a threshold recording: the file must hold
// every point read before it, but for the reading in flight and the one being plotted.
TEST_F(OrderedEnd, SigkillAtRandomMomentsLosesAtMostThePointBeingPlotted) {
    const Frame sampleRead = request(0x80 | kFirst, link::kSampleCode, 2);
    std::mt19937 random(20261209);
    start(43, "threshold");
    for (int kill = 0; kill < 20; ++kill) {
        if (kill > 0) {
            startAgain();
        }
        const int readsBefore = countOf(sampleRead);
        ASSERT_TRUE(waitUntil([&] { return countOf(sampleRead) > readsBefore; }));
        QThread::msleep(std::uniform_int_distribution(0, 400)(random));
        running.kill();
        ASSERT_TRUE(running.waitForFinished(5000));
        const int reads = countOf(sampleRead) - readsBefore;

        // A kill before the first point reached the disk leaves no file at all.
        int lines = 0;
        if (const QString path = thresholdRecording(); !path.isEmpty()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            graphs::readGraphFile(file, 1, [&](const graphs::GraphFileLine& line) {
                ++lines;
                EXPECT_TRUE(line.values.front()) << "line " << lines << " of kill " << kill;
            });
            file.remove();
        }
        EXPECT_GE(lines, reads - 2) << "kill " << kill << " after " << reads << " reads";
    }
}

TEST_F(OrderedEnd, SigtermDuringASweepGivesTheInstrumentItsSetValueBackAndRestartsIt) {
    start(43, "sweep");
    const std::uint16_t initial = instrument->setValue();
    ASSERT_TRUE(waitUntil([&] { return instrument->setValue() >= 302; }));

    terminate();

    EXPECT_EQ(instrument->appliedSetValue(), initial);
    EXPECT_EQ(instrument->restartCount(), 1);
    EXPECT_TRUE(positionsSaved());
    EXPECT_TRUE(unlockSentAtTheEnd());
}

TEST_F(OrderedEnd, ASilentInstrumentWithALongReadTimeOutHoldsNoExitAndStillGetsTheUnlock) {
    start(43, "none", 5000);
    // The start's own unlock; the poll's read is waiting for its 5 s from then on.
    ASSERT_TRUE(waitUntil([&] { return countOf(kUnlock) == 1 && line.frames().size() >= 2; }));
    sim::Faults silent;
    silent.silent = true;
    instrument->setFaults(silent);
    ASSERT_TRUE(waitUntil([&] { return line.frames().size() >= 3; }));

    terminate();

    EXPECT_TRUE(unlockSentAtTheEnd());
    EXPECT_TRUE(positionsSaved());
}

// A real full disk under a running threshold recording: the settings file, and with it the
// recording, on a small file system that a filler file fills for a few seconds. Every reading
// answered must be in the file once, and no line may read back as another value.
class FullDisk : public OrderedEnd {
protected:
    bool mountSmallDisk() {
        const qint64 room =
            QFileInfo(QStringLiteral(ZORVAN_PROGRAM_WITH_WINDOW)).size() + (4 << 20);
        mounted = QProcess::execute(QStringLiteral("mount"),
                                    {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                     QStringLiteral("-o"), QStringLiteral("size=%1").arg(room),
                                     QStringLiteral("tmpfs"), folder.path()}) == 0;
        return mounted;
    }

    // Writes until the disk is full; the filler is removed to give the room back.
    void fillTheDisk() {
        QFile filler(fillerPath());
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        ASSERT_LT(QStorageInfo(folder.path()).bytesAvailable(), block.size());
    }

    QString fillerPath() const { return folder.filePath(QStringLiteral("filler")); }

    void TearDown() override {
        OrderedEnd::TearDown();
        if (mounted) {
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), folder.path()});
        }
    }

    bool mounted = false;
};

TEST_F(FullDisk, AThresholdRecordingLosesNoReadingAndGainsNoWrongOne) {
    if (!mountSmallDisk()) {
        GTEST_SKIP() << "no small file system could be mounted here (needs root)";
    }
    const Frame sampleRead = request(0x80 | kFirst, link::kSampleCode, 2);
    start(43, "threshold");
    ASSERT_TRUE(waitUntil([&] { return countOf(sampleRead) >= 20; }));
    fillTheDisk();
    // Until the lines fill the file's last page the disk still takes them.
    const auto recordedLines = [&] {
        QFile file(thresholdRecording());
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count("\r\n")) : 0;
    };
    ASSERT_TRUE(waitUntil([&] { return recordedLines() < countOf(sampleRead) - 20; }, 30000))
        << "the full disk refuses the recording's lines";
    ASSERT_TRUE(QFile::remove(fillerPath()));
    const int readsAtRoom = countOf(sampleRead);
    ASSERT_TRUE(waitUntil([&] { return countOf(sampleRead) > readsAtRoom + 20; }));

    terminate();
    const int reads = countOf(sampleRead);
    QFile file(thresholdRecording());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    int lines = 0;
    double lastTime = -1.0;
    std::optional<double> reading;
    graphs::readGraphFile(file, 1, [&](const graphs::GraphFileLine& line) {
        ++lines;
        reading = reading ? reading : line.values.front();
        EXPECT_EQ(line.values.front(), reading) << "line " << lines;
        ASSERT_TRUE(line.timeValue) << "line " << lines;
        EXPECT_GT(*line.timeValue, lastTime) << "line " << lines;
        lastTime = line.timeValue.value_or(lastTime);
    });
    std::printf("full disk: %d readings sent, %d lines recorded\n", reads, lines);
    // The reading under way at the end may not have been plotted.
    EXPECT_GE(lines, reads - 1);
    EXPECT_LE(lines, reads);
}

} // namespace
} // namespace zorvan::app
