#pragma once

// Replacing a file so that at every moment a whole one is on disk: a crash, a full disk or a
// refused rename in the middle of a save never costs the file that was there.

#include <QByteArray>
#include <QString>

namespace zorvan::graphs {

// Writes `bytes` beside `path`, flushed to disk, then renames them over it. Empty on success,
// else why not; `path` is then as it was.
QString writeWhole(const QString& path, const QByteArray& bytes);

// The same, keeping what `path` held before as `path` + ".bak".
QString writeWholeKeepingBackup(const QString& path, const QByteArray& bytes);

} // namespace zorvan::graphs
