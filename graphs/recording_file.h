#pragma once

// A recording that a crash or `kill -9` cannot take, and a power cut takes at most the last
// point of: each plotted point's line is written to the file as it comes, and flushed to the disk
// itself by a writer thread, so the user-interface thread never waits for the disk. Whole
// rewrites that replace the file also run on the writer, in order with the appends: lines
// appended while one is pending follow it into the new file.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace zorvan::graphs {

class RecordingFile {
public:
    // `failed` is told why a write failed, on either thread; once until a write succeeds again,
    // so a full disk is reported once and not for every point.
    RecordingFile(QString path, std::function<void(const QString& error)> failed);
    // Finishes what is queued and flushes it to the disk.
    ~RecordingFile();
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;

    // Writes the lines at the end of the file now, unless a rewrite is pending, and has the
    // writer flush them to the disk.
    void append(const QByteArray& lines);
    // Replaces the file by what `build` makes on the writer thread, keeping the file before as
    // path + ".bak". What it makes must hold every line appended before this call.
    void rewrite(std::function<QByteArray()> build);
    // Does what is queued, flushes it and ends the writer; may run on any thread, once.
    void finish();

private:
    void runWriter();
    // Under mutex_.
    void writeLines(const QByteArray& lines);
    void report(const QString& error);

    const QString path_;
    const std::function<void(const QString&)> failed_;
    std::mutex mutex_;
    std::condition_variable workQueued_;
    QFile file_; // guarded by mutex_; opened at the first line
    std::deque<std::function<QByteArray()>> rewrites_; // guarded by mutex_
    QByteArray afterRewrites_;                         // guarded by mutex_
    bool flushWanted_ = false;                         // guarded by mutex_
    bool ending_ = false;                              // guarded by mutex_
    bool failureReported_ = false;                     // guarded by mutex_
    std::thread writer_;
};

} // namespace zorvan::graphs
