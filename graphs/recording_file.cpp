#include "graphs/recording_file.h"

#include "graphs/whole_file.h"

#include <system_error>

namespace zorvan::graphs {

namespace {

constexpr qint64 kReadChunk = 1 << 20;

// The recordings still finishing on threads of their own.
std::mutex finishingMutex;
std::condition_variable finishingEnded;
int finishing = 0; // guarded by finishingMutex

QString writtenShort() {
    return QStringLiteral("Файл записан не полностью.");
}

// The bytes of `lines` up to and including its last line end: what a short write may keep.
qint64 wholeLinesIn(const QByteArray& lines, qint64 written) {
    return written > 0 ? lines.lastIndexOf('\n', written - 1) + 1 : 0;
}

} // namespace

RecordingFile::RecordingFile(QString path, Report report, FileCalls& calls)
    : path_(std::move(path)), report_(std::move(report)), calls_(calls),
      writer_([this] { runWriter(); }) {
}

RecordingFile::~RecordingFile() {
    finish();
}

void RecordingFile::append(const QByteArray& lines) {
    {
        const std::lock_guard lock(mutex_);
        if (waiting_.size() + lines.size() > kWaitingBound) {
            // The oldest waiting lines are kept: they continue the file without a gap.
            if (!dropping_) {
                dropping_ = true;
                tell(RecordingEvent::Dropped, {});
            }
            return;
        }
        accepted_ += static_cast<std::uint64_t>(lines.size());
        waiting_ += lines;
        if (keptFrom_) {
            kept_ += lines;
        }
        if (!writerHoldsFile_) {
            writeWaiting();
        }
        flushWanted_ = true;
    }
    workQueued_.notify_one();
}

void RecordingFile::rewrite(std::function<QByteArray()> build) {
    {
        const std::lock_guard lock(mutex_);
        requestRewrite({std::move(build), accepted_, true});
    }
    workQueued_.notify_one();
}

void RecordingFile::finish() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    workQueued_.notify_one();
    if (writer_.joinable()) {
        writer_.join();
    }
}

void RecordingFile::writeWaiting() {
    if (waiting_.isEmpty()) {
        return;
    }
    if (file_ == FileCalls::kNoHandle && !openFile()) {
        return;
    }
    QString error;
    if (cutBackOwed_ && !cutBack()) {
        return;
    }
    const qint64 written = writeAll(calls_, file_, waiting_.constData(), waiting_.size(), error);
    const qint64 whole = written == waiting_.size() ? written : wholeLinesIn(waiting_, written);
    fileLength_ += whole;
    inFile_ += static_cast<std::uint64_t>(whole);
    waiting_.remove(0, whole);
    flushWanted_ = flushWanted_ || whole > 0;
    if (!waiting_.isEmpty()) {
        setTrouble(error.isEmpty() ? writtenShort() : error);
        cutBack();
    }
}

// A line written in part is cut off, so that the next one cannot join it. Until that succeeds
// nothing more is written.
bool RecordingFile::cutBack() {
    QString error;
    cutBackOwed_ = !calls_.truncate(file_, fileLength_, error);
    if (cutBackOwed_) {
        setTrouble(error);
    }
    return !cutBackOwed_;
}

bool RecordingFile::openFile() {
    QString error;
    file_ = calls_.openForAppend(path_, error);
    fileLength_ = file_ == FileCalls::kNoHandle ? -1 : calls_.size(file_);
    if (fileLength_ < 0) {
        if (file_ != FileCalls::kNoHandle) {
            calls_.close(std::exchange(file_, FileCalls::kNoHandle));
        }
        setTrouble(error);
        return false;
    }
    return true;
}

void RecordingFile::requestRewrite(Rewrite rewrite) {
    keepLinesAfter(rewrite.covers);
    rewrite_ = std::move(rewrite);
}

void RecordingFile::requestRestore() {
    // What it covers is known when it is carried out; until then it covers the file.
    requestRewrite({nullptr, inFile_, false});
}

// The lines after what a rewrite covers are kept for the file that replaces this one. A rewrite
// covers at least what is in the file, so they are all still waiting or yet to come.
void RecordingFile::keepLinesAfter(std::uint64_t covers) {
    if (!keptFrom_ || *keptFrom_ > covers) {
        keptFrom_ = covers;
        kept_ = waiting_.right(static_cast<qsizetype>(accepted_ - covers));
    }
}

void RecordingFile::setTrouble(const QString& reason) {
    if (!trouble_) {
        trouble_ = true;
        tell(RecordingEvent::Failed, reason);
    }
}

void RecordingFile::tell(RecordingEvent event, const QString& reason) {
    if (report_) {
        report_(event, reason);
    }
}

void RecordingFile::clearTroubleIfCaughtUp() {
    if (trouble_ && waiting_.isEmpty() && !rewriteFailed_ && !rewrite_) {
        trouble_ = false;
        dropping_ = false;
        tell(RecordingEvent::CaughtUp, {});
    }
}

void RecordingFile::runWriter() {
    std::unique_lock lock(mutex_);
    int endingRounds = 0;
    for (;;) {
        // Also wakes when nothing was asked, to try a failing disk again and to look at the file.
        workQueued_.wait_for(lock, kLookAgain,
                             [this] { return ending_ || flushWanted_ || rewrite_; });
        if (rewrite_) {
            carryOutRewrite(lock);
            continue;
        }
        const bool ending = ending_;
        flushAndLook(lock);
        // At the end a file found replaced is written again once more, not for ever.
        if (ending && (!rewrite_ || ++endingRounds > 1)) {
            break;
        }
    }
    if (file_ != FileCalls::kNoHandle) {
        calls_.close(file_);
        file_ = FileCalls::kNoHandle;
    }
}

void RecordingFile::carryOutRewrite(std::unique_lock<std::mutex>& lock) {
    Rewrite job = std::move(*rewrite_);
    rewrite_.reset();
    if (!job.build) {
        if (file_ == FileCalls::kNoHandle) {
            releaseKeptLines();
            return;
        }
        // The file's own whole lines: only this thread closes it, so it stays open to be read.
        job.covers = inFile_;
        keepLinesAfter(job.covers);
        job.build = [this, file = file_, length = fileLength_] { return contentOf(file, length); };
    }
    lock.unlock();
    // Not the name a save by hand writes beside the same file, should both run at once.
    const QString fresh = path_ + QStringLiteral(".rewrite");
    QString error = writeNewFile(fresh, job.build(), calls_);
    // The previous version gets its second name before the new one takes its place, so that
    // a whole file stands under the name at every moment.
    if (error.isEmpty() && job.keepBackup && calls_.exists(path_)) {
        calls_.keepCopy(path_, backupNameOf(path_), error);
    }
    lock.lock();
    if (error.isEmpty()) {
        // Closed first: a file held open cannot be replaced on every system. Lines appended
        // meanwhile wait and go into whichever file is under the name afterwards.
        writerHoldsFile_ = true;
        const FileCalls::Handle old = std::exchange(file_, FileCalls::kNoHandle);
        lock.unlock();
        if (old != FileCalls::kNoHandle) {
            calls_.close(old);
        }
        const bool replaced = calls_.replace(fresh, path_, error);
        lock.lock();
        writerHoldsFile_ = false;
        if (replaced) {
            inFile_ = job.covers;
            waiting_ = kept_.mid(static_cast<qsizetype>(job.covers - *keptFrom_));
            cutBackOwed_ = false;
        }
    }
    if (!error.isEmpty()) {
        calls_.remove(fresh);
    }
    rewriteFailed_ = !error.isEmpty();
    if (rewriteFailed_) {
        setTrouble(error);
    }
    releaseKeptLines();
    // The file under the name is opened again, and the waiting lines follow what it holds.
    if (file_ != FileCalls::kNoHandle || openFile()) {
        writeWaiting();
    }
    flushWanted_ = true;
}

// Only the next rewrite, if any, still needs lines kept.
void RecordingFile::releaseKeptLines() {
    if (rewrite_) {
        kept_.remove(0, static_cast<qsizetype>(rewrite_->covers - *keptFrom_));
        keptFrom_ = rewrite_->covers;
    } else {
        keptFrom_.reset();
        kept_.clear();
    }
}

void RecordingFile::flushAndLook(std::unique_lock<std::mutex>& lock) {
    const bool flushNow = flushWanted_ || trouble_;
    flushWanted_ = false;
    writeWaiting();
    if (file_ == FileCalls::kNoHandle) {
        return;
    }
    // Only this thread closes the file, so the handle stays valid while it is unlocked.
    const FileCalls::Handle file = file_;
    lock.unlock();
    const bool atPath = fileStillAtPath(file);
    QString error;
    const bool flushed = !flushNow || calls_.flush(file, error);
    lock.lock();
    if (!atPath) {
        // Replaced or deleted under its name: what it holds, and what waits, goes there again.
        requestRestore();
        return;
    }
    if (!flushed) {
        setTrouble(error);
        return;
    }
    clearTroubleIfCaughtUp();
}

bool RecordingFile::fileStillAtPath(FileCalls::Handle file) {
    const std::optional<FileIdentity> open = calls_.identityOf(file);
    return open && open == calls_.identityAt(path_);
}

QByteArray RecordingFile::contentOf(FileCalls::Handle file, qint64 length) {
    QByteArray content(length, Qt::Uninitialized);
    qint64 done = 0;
    while (done < length) {
        const qint64 read =
            calls_.readAt(file, done, content.data() + done, std::min(kReadChunk, length - done));
        if (read <= 0) {
            break;
        }
        done += read;
    }
    content.truncate(done);
    return content;
}

void finishInBackground(std::shared_ptr<RecordingFile> recording) {
    {
        const std::lock_guard lock(finishingMutex);
        ++finishing;
    }
    const auto finishOne = [](std::shared_ptr<RecordingFile>& ending) {
        ending->finish();
        ending.reset();
        const std::lock_guard lock(finishingMutex);
        --finishing;
        finishingEnded.notify_all();
    };
    try {
        std::thread([recording, finishOne]() mutable { finishOne(recording); }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: finished here rather than not at all.
        finishOne(recording);
    }
}

bool waitForFinishingRecordings(std::chrono::milliseconds bound) {
    std::unique_lock lock(finishingMutex);
    return finishingEnded.wait_for(lock, bound, [] { return finishing == 0; });
}

} // namespace zorvan::graphs
