#include "graphs/recording_file.h"

#include "graphs/whole_file.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace zorvan::graphs {

namespace {

// Past the system's cache: on the disk when this returns true.
bool flushToDisk(int handle) {
#ifdef _WIN32
    return ::_commit(handle) == 0;
#else
    return ::fdatasync(handle) == 0;
#endif
}

} // namespace

RecordingFile::RecordingFile(QString path, std::function<void(const QString& error)> failed)
    : path_(std::move(path)), failed_(std::move(failed)), file_(path_),
      writer_([this] { runWriter(); }) {
}

RecordingFile::~RecordingFile() {
    finish();
}

void RecordingFile::append(const QByteArray& lines) {
    {
        const std::lock_guard lock(mutex_);
        if (!rewrites_.empty()) {
            afterRewrites_ += lines;
            return;
        }
        writeLines(lines);
    }
    workQueued_.notify_one();
}

void RecordingFile::rewrite(std::function<QByteArray()> build) {
    {
        const std::lock_guard lock(mutex_);
        // The new whole holds the lines waiting for an earlier rewrite.
        afterRewrites_.clear();
        rewrites_.push_back(std::move(build));
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

void RecordingFile::writeLines(const QByteArray& lines) {
    if (!file_.isOpen() &&
        !file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        report(file_.errorString());
        return;
    }
    if (file_.write(lines) != lines.size()) {
        report(file_.error() == QFileDevice::NoError ? QStringLiteral("Файл записан не полностью.")
                                                     : file_.errorString());
        return;
    }
    report({});
    flushWanted_ = true;
}

void RecordingFile::runWriter() {
    std::unique_lock lock(mutex_);
    for (;;) {
        workQueued_.wait(lock, [this] { return ending_ || flushWanted_ || !rewrites_.empty(); });
        if (!rewrites_.empty()) {
            // Closed first: a file held open cannot be replaced on every system. The rewrite
            // holds the lines written so far and flushes them itself.
            file_.close();
            flushWanted_ = false;
            const std::function<QByteArray()> build = std::move(rewrites_.front());
            lock.unlock();
            const QString error = writeWholeKeepingBackup(path_, build());
            lock.lock();
            rewrites_.pop_front();
            report(error);
            if (rewrites_.empty() && !afterRewrites_.isEmpty()) {
                writeLines(afterRewrites_);
                afterRewrites_.clear();
            }
        } else if (flushWanted_) {
            flushWanted_ = false;
            // Only this thread closes the file, so the handle stays valid while it flushes.
            const int handle = file_.handle();
            lock.unlock();
            const bool flushed = handle < 0 || flushToDisk(handle);
            lock.lock();
            if (!flushed) {
                report(QStringLiteral("Данные не сброшены на диск."));
            }
        } else {
            return;
        }
    }
}

void RecordingFile::report(const QString& error) {
    if (error.isEmpty()) {
        failureReported_ = false;
        return;
    }
    if (!failureReported_ && failed_) {
        failed_(error);
    }
    failureReported_ = true;
}

} // namespace zorvan::graphs
