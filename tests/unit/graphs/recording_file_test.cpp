// The recording file through every disk and file-system fault that can be put between it and the
// system: each time the file must end up holding every line once, in order, and the user be told
// once when writing fails and once when it has caught up.
#include "graphs/recording_file.h"
#include "graphs/whole_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <cerrno>
#include <gtest/gtest.h>
#include <thread>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace zorvan::graphs {
namespace {

// The system's calls with faults switched on by the test.
class FaultyCalls final : public FileCalls {
public:
    std::atomic<bool> diskFull{false};       // every write fails with nothing written
    std::atomic<qint64> shortWriteBytes{-1}; // the next write takes only this many bytes
    std::atomic<int> flushFailures{0};       // this many flushes fail
    std::atomic<int> replaceFailures{0};     // this many replaces fail
    std::atomic<int> truncateFailures{0};    // this many truncates fail

    Handle openForAppend(const QString& path, QString& error) override {
        return real.openForAppend(path, error);
    }
    Handle create(const QString& path, QString& error) override { return real.create(path, error); }
    qint64 write(Handle file, const char* bytes, qint64 count, QString& error) override {
        if (const qint64 part = shortWriteBytes.exchange(-1); part >= 0) {
            return real.write(file, bytes, std::min(part, count), error);
        }
        if (diskFull) {
            error = QStringLiteral("No space left on device");
            return -1;
        }
        return real.write(file, bytes, count, error);
    }
    qint64 readAt(Handle file, qint64 offset, char* bytes, qint64 count) override {
        return real.readAt(file, offset, bytes, count);
    }
    qint64 size(Handle file) override { return real.size(file); }
    bool truncate(Handle file, qint64 size, QString& error) override {
        return !failOnce(truncateFailures, error) && real.truncate(file, size, error);
    }
    bool flush(Handle file, QString& error) override {
        return !failOnce(flushFailures, error) && real.flush(file, error);
    }
    void close(Handle file) override { real.close(file); }
    std::optional<FileIdentity> identityOf(Handle file) override { return real.identityOf(file); }
    std::optional<FileIdentity> identityAt(const QString& path) override {
        return real.identityAt(path);
    }
    bool exists(const QString& path) override { return real.exists(path); }
    void remove(const QString& path) override { real.remove(path); }
    bool keepCopy(const QString& path, const QString& copy, QString& error) override {
        return real.keepCopy(path, copy, error);
    }
    bool replace(const QString& from, const QString& to, QString& error) override {
        return !failOnce(replaceFailures, error) && real.replace(from, to, error);
    }

private:
    static bool failOnce(std::atomic<int>& failures, QString& error) {
        if (failures.load() <= 0) {
            return false;
        }
        --failures;
        error = QStringLiteral("Input/output error");
        return true;
    }

    FileCalls& real = systemFileCalls();
};

QByteArray lineOf(int point) {
    return QByteArray::number(point).rightJustified(9, ' ') + "\t" +
           QByteArray::number(point * 1.25, 'f', 4).rightJustified(12, ' ') + "\r\n";
}

QByteArray linesOf(int first, int last) {
    QByteArray lines;
    for (int point = first; point <= last; ++point) {
        lines += lineOf(point);
    }
    return lines;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

// The writer looks again within a second; five are plenty on a loaded machine.
bool waitUntil(const std::function<bool()>& condition) {
    for (int waited = 0; waited < 5000; waited += 10) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

class RecordingFileFaults : public ::testing::Test {
protected:
    std::unique_ptr<RecordingFile> record() {
        return std::make_unique<RecordingFile>(
            path, [this](RecordingEvent event, const QString&) { ++events[int(event)]; }, calls);
    }

    void appendPoints(RecordingFile& recording, int first, int last) {
        for (int point = first; point <= last; ++point) {
            recording.append(lineOf(point));
        }
    }

    int failed() const { return events[int(RecordingEvent::Failed)]; }
    int caughtUp() const { return events[int(RecordingEvent::CaughtUp)]; }

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("_2026.12.09 14-05.txt"));
    FaultyCalls calls;
    std::atomic<int> events[3]{};
};

TEST_F(RecordingFileFaults,
       AFullDiskCutsThePartialLineBackAndTheWaitingLinesFollowOnceSpaceReturns) {
    auto recording = record();
    appendPoints(*recording, 0, 184);
    calls.shortWriteBytes = 13; // a line and a half of what waits
    calls.diskFull = true;
    recording->append(lineOf(185) + lineOf(186));
    appendPoints(*recording, 187, 299);
    EXPECT_EQ(contentOf(path), linesOf(0, 184))
        << "no fragment of point 185 or 186 stays in the file";
    calls.diskFull = false;
    appendPoints(*recording, 300, 300);
    EXPECT_EQ(contentOf(path), linesOf(0, 300)) << "the next point takes the waiting ones along";
    recording->finish();
    EXPECT_EQ(failed(), 1) << "told once, not once per attempt";
    EXPECT_EQ(caughtUp(), 1);
}

TEST_F(RecordingFileFaults, WaitingLinesGoWithinASecondWithoutANewPoint) {
    auto recording = record();
    calls.diskFull = true;
    appendPoints(*recording, 0, 9);
    calls.diskFull = false;
    waitUntil([&] { return caughtUp() > 0; });
    EXPECT_EQ(contentOf(path), linesOf(0, 9));
    EXPECT_EQ(caughtUp(), 1);
}

TEST_F(RecordingFileFaults, ACutBackThatFailsHoldsEveryLineBackUntilItSucceeds) {
    auto recording = record();
    appendPoints(*recording, 0, 9);
    calls.shortWriteBytes = 5;
    calls.diskFull = true;
    calls.truncateFailures = 2;
    appendPoints(*recording, 10, 12);
    calls.diskFull = false;
    appendPoints(*recording, 13, 20);
    recording->finish();
    EXPECT_EQ(contentOf(path), linesOf(0, 20)) << "nothing was appended after the fragment";
    EXPECT_EQ(failed(), 1);
}

TEST_F(RecordingFileFaults, AFailedFlushIsToldOnceAndLosesNothing) {
    auto recording = record();
    calls.flushFailures = 2;
    appendPoints(*recording, 0, 49);
    waitUntil([&] { return caughtUp() > 0; });
    recording->finish();
    EXPECT_EQ(contentOf(path), linesOf(0, 49));
    EXPECT_EQ(failed(), 1);
    EXPECT_EQ(caughtUp(), 1);
}

TEST_F(RecordingFileFaults, AFileReplacedOrDeletedUnderItsNameIsWrittenThereAgainWhole) {
    auto recording = record();
    appendPoints(*recording, 0, 4);
    // As a save by hand to the same name does it: a new file renamed over the recording. Windows
    // refuses to replace or delete a file held open; the recording then goes on as it was.
    writeWhole(path, linesOf(0, 1));
    appendPoints(*recording, 5, 7);
    waitUntil([&] { return contentOf(path) == linesOf(0, 7); });
    EXPECT_EQ(contentOf(path), linesOf(0, 7)) << "within a second, with no new point";

    QFile::remove(path);
    appendPoints(*recording, 8, 9);
    recording->finish();
    EXPECT_EQ(contentOf(path), linesOf(0, 9));
    EXPECT_EQ(failed(), 0);
}

TEST_F(RecordingFileFaults, RewritesKeepABackupAndAFailedOneKeepsEveryLineAppended) {
    auto recording = record();
    appendPoints(*recording, 0, 9);
    recording->rewrite([] { return linesOf(0, 9); });
    appendPoints(*recording, 10, 19);
    calls.replaceFailures = 1;
    recording->rewrite([] { return linesOf(0, 19); });
    appendPoints(*recording, 20, 29);
    recording->finish();
    EXPECT_EQ(contentOf(path), linesOf(0, 29)) << "the file before the failed rewrite goes on";
    EXPECT_EQ(failed(), 1);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 2) << "the file and its backup";

    auto again = std::make_unique<RecordingFile>(path, nullptr, calls);
    again->rewrite([] { return linesOf(0, 29); });
    again->append(lineOf(30));
    again->finish();
    EXPECT_EQ(contentOf(path), linesOf(0, 30));
    // Lines appended while the new file was made may follow in it.
    EXPECT_TRUE(contentOf(backupNameOf(path)).startsWith(linesOf(0, 29))) << "the previous version";
}

TEST_F(RecordingFileFaults, LinesWaitUpToTheirBoundAndTheNewestAreDropped) {
    auto recording = record();
    calls.diskFull = true;
    const QByteArray big(1024 * 1024 - 2, 'x');
    const qsizetype fitting = RecordingFile::kWaitingBound / (big.size() + 2);
    for (qsizetype line = 0; line < fitting + 3; ++line) {
        recording->append(big + "\r\n");
    }
    EXPECT_EQ(events[int(RecordingEvent::Dropped)], 1);
    calls.diskFull = false;
    recording->finish();
    EXPECT_EQ(contentOf(path).size(), fitting * (big.size() + 2)) << "the oldest are kept";
}

#ifndef _WIN32
// A rewrite a full disk refuses every five minutes must not leave a handle behind each time: a
// week on a nearly full disk would run out of them.
TEST_F(RecordingFileFaults, RefusedRewritesLeaveNoFileOpenBehind) {
    const auto openFiles = [] {
        return QDir(QStringLiteral("/proc/self/fd"))
            .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
            .size();
    };
    const qsizetype before = openFiles();
    auto recording = record();
    appendPoints(*recording, 0, 9);
    calls.diskFull = true;
    for (int rewrite = 0; rewrite < 3; ++rewrite) {
        recording->rewrite([] { return linesOf(0, 9); });
        waitUntil([&] { return failed() > 0; });
    }
    calls.diskFull = false;
    recording->finish();
    EXPECT_EQ(openFiles(), before);
    EXPECT_EQ(contentOf(path), linesOf(0, 9));
}

// No seam at all: the kernel itself cuts a write short at the file size limit.
TEST_F(RecordingFileFaults, TheKernelsFileSizeLimitCutsAWriteShortAndNothingIsLost) {
    const QByteArray before = linesOf(0, 39);
    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    auto recording = std::make_unique<RecordingFile>(path, nullptr);
    rlimit limited = original;
    limited.rlim_cur = static_cast<rlim_t>(before.size() + 7);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    appendPoints(*recording, 0, 39);
    recording->append(linesOf(40, 60));
    // The writer tries again meanwhile, and cuts each new fragment back at once.
    const bool cutBack = waitUntil([&] { return contentOf(path) == before; });
    setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(cutBack) << "cut back to its last whole line";
    recording->append(lineOf(61));
    recording->finish();
    EXPECT_EQ(contentOf(path), linesOf(0, 61));
}
#endif

} // namespace
} // namespace zorvan::graphs
