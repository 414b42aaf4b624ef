#pragma once

// A recording that a crash or `kill -9` cannot take, and a power cut takes at most the last
// point of: each plotted point's line is written to the file as it comes, and flushed to the disk
// itself by a writer thread, so the user-interface thread never waits for the disk. Whole
// rewrites that replace the file also run on the writer, in order with the appends.
//
// Through a full disk, a failed write or flush, or the file replaced or deleted under its name,
// the file still ends up holding every line exactly once and in order: a partial line is cut back,
// lines that could not be written wait in memory and go at the next line or within a second, and
// a file no longer under its name is written there again whole.

#include "graphs/file_calls.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace zorvan::graphs {

enum class RecordingEvent {
    Failed,   // writing failed; lines wait in memory (the reason comes along)
    CaughtUp, // every line that waited is in the file again
    Dropped,  // the waiting lines reached their bound: newer lines are being dropped
};

class RecordingFile {
public:
    // Lines that may wait in memory while the file cannot take them.
    static constexpr qsizetype kWaitingBound = 64 * 1024 * 1024;
    // How often the writer looks again at a failing disk and at the file under its name.
    static constexpr std::chrono::milliseconds kLookAgain{1000};

    using Report = std::function<void(RecordingEvent event, const QString& reason)>;

    // `report` is called on either thread: once when writing starts failing, once when it has
    // caught up, and once when lines are dropped; never once per attempt.
    RecordingFile(QString path, Report report, FileCalls& calls = systemFileCalls());
    // Finishes what is queued and flushes it to the disk.
    ~RecordingFile();
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;

    // Writes the lines at the end of the file now, after any that wait, and has the writer flush
    // them to the disk.
    void append(const QByteArray& lines);
    // Replaces the file by what `build` makes on the writer thread, keeping the file before as
    // path + ".bak". What it makes must hold every line appended before this call.
    void rewrite(std::function<QByteArray()> build);
    // Does what is queued, flushes it and ends the writer; may run on any thread, once.
    void finish();

    const QString& path() const { return path_; }

private:
    struct Rewrite {
        std::function<QByteArray()> build; // none: the file's own content (a restore)
        std::uint64_t covers = 0;          // the build holds the stream of lines up to here
        bool keepBackup = true;
    };

    // Under mutex_.
    void writeWaiting();
    // Opens the file under the name for appending; false, and told, when it cannot.
    bool openFile();
    bool cutBack();
    void requestRewrite(Rewrite rewrite);
    void requestRestore();
    void keepLinesAfter(std::uint64_t covers);
    void releaseKeptLines();
    void setTrouble(const QString& reason);
    void tell(RecordingEvent event, const QString& reason);
    void clearTroubleIfCaughtUp();

    // On the writer thread.
    void runWriter();
    void carryOutRewrite(std::unique_lock<std::mutex>& lock);
    void flushAndLook(std::unique_lock<std::mutex>& lock);
    bool fileStillAtPath(FileCalls::Handle file);
    QByteArray contentOf(FileCalls::Handle file, qint64 length);

    const QString path_;
    const Report report_;
    FileCalls& calls_;
    std::mutex mutex_;
    std::condition_variable workQueued_;

    // The lines appended form one stream; the positions below count its bytes. Guarded by mutex_.
    FileCalls::Handle file_ =
        FileCalls::kNoHandle;      // on the file at path_; opened at the first line
    bool writerHoldsFile_ = false; // a rewrite is swapping the file: appends only wait
    qint64 fileLength_ = 0;        // the file's whole lines
    bool cutBackOwed_ = false;     // the file may end in a partial line after them
    std::uint64_t accepted_ = 0;   // the stream's end
    std::uint64_t inFile_ = 0;     // the stream up to here is in the file at path_
    QByteArray waiting_;           // the stream from inFile_ to accepted_
    // While a rewrite runs: the stream from keptFrom_ on, for the file that replaces this one.
    std::optional<std::uint64_t> keptFrom_;
    QByteArray kept_;
    std::optional<Rewrite> rewrite_; // the next rewrite; a newer one replaces it
    bool flushWanted_ = false;
    bool ending_ = false;
    bool trouble_ = false;       // Failed reported and CaughtUp not yet
    bool rewriteFailed_ = false; // since the last rewrite that succeeded
    bool dropping_ = false;
    std::thread writer_;
};

// Ends a recording on a thread of its own: its last rewrite may take long on a slow disk, and
// neither a new start nor the window's closing waits for it.
void finishInBackground(std::shared_ptr<RecordingFile> recording);
// Waits, at most `bound`, until every recording handed to finishInBackground has finished; false
// when some have not.
bool waitForFinishingRecordings(std::chrono::milliseconds bound);

} // namespace zorvan::graphs
