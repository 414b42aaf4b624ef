#include "graphs/whole_file.h"

#include <QFile>
#include <QSaveFile>

namespace zorvan::graphs {

QString writeWhole(const QString& path, const QByteArray& bytes) {
    // Unbuffered: a buffered save file takes a short write (a full disk) for a whole one and
    // commits a truncated file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = file.error() == QFileDevice::NoError
                                   ? QStringLiteral("Файл записан не полностью.")
                                   : file.errorString();
        file.cancelWriting();
        return reason;
    }
    return {};
}

QString writeWholeKeepingBackup(const QString& path, const QByteArray& bytes) {
    const QString fresh = path + QStringLiteral(".new");
    const QString backup = path + QStringLiteral(".bak");
    if (QString error = writeWhole(fresh, bytes); !error.isEmpty()) {
        return error;
    }
    // From here on the new graph is whole on disk under `fresh`, the previous one under `path`.
    if (QFile::exists(path)) {
        QFile::remove(backup);
        QFile current(path);
        if (!current.rename(backup)) {
            return current.errorString();
        }
    }
    QFile written(fresh);
    if (!written.rename(path)) {
        return written.errorString();
    }
    return {};
}

} // namespace zorvan::graphs
