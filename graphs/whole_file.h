#pragma once

// Replacing a file so that at every moment a whole one is on disk: a crash, a full disk or a
// refused rename in the middle of a save never costs the file that was there.

#include "graphs/file_calls.h"

#include <QByteArray>
#include <QString>

namespace zorvan::graphs {

// Where a recording keeps the previous version of its file.
QString backupNameOf(const QString& path);

// Writes until every byte went or a write failed, and says how many went.
qint64 writeAll(FileCalls& calls, FileCalls::Handle file, const char* bytes, qint64 count,
                QString& error);

// Creates `path` holding `bytes`, flushed to disk; removed again when it could not be written
// whole. Empty on success, else why not.
QString writeNewFile(const QString& path, const QByteArray& bytes, FileCalls& calls);

// Writes `bytes` beside `path`, flushed to disk, then renames them over it. Empty on success,
// else why not; `path` is then as it was.
QString writeWhole(const QString& path, const QByteArray& bytes,
                   FileCalls& calls = systemFileCalls());

} // namespace zorvan::graphs
