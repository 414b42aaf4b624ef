#include "graphs/whole_file.h"

namespace zorvan::graphs {
namespace {

QString writtenShort() {
    return QStringLiteral("Файл записан не полностью.");
}

} // namespace

QString backupNameOf(const QString& path) {
    return path + QStringLiteral(".bak");
}

qint64 writeAll(FileCalls& calls, FileCalls::Handle file, const char* bytes, qint64 count,
                QString& error) {
    qint64 done = 0;
    while (done < count) {
        const qint64 written = calls.write(file, bytes + done, count - done, error);
        if (written <= 0) {
            break;
        }
        done += written;
    }
    return done;
}

QString writeNewFile(const QString& path, const QByteArray& bytes, FileCalls& calls) {
    QString error;
    const FileCalls::Handle file = calls.create(path, error);
    if (file == FileCalls::kNoHandle) {
        return error;
    }
    const bool whole =
        writeAll(calls, file, bytes.constData(), bytes.size(), error) == bytes.size() &&
        calls.flush(file, error);
    calls.close(file);
    if (!whole) {
        calls.remove(path);
        return error.isEmpty() ? writtenShort() : error;
    }
    return {};
}

QString writeWhole(const QString& path, const QByteArray& bytes, FileCalls& calls) {
    const QString fresh = path + QStringLiteral(".new");
    if (QString error = writeNewFile(fresh, bytes, calls); !error.isEmpty()) {
        return error;
    }
    // From here on the new text is whole on disk under `fresh`, the previous one under `path`.
    QString error;
    if (!calls.replace(fresh, path, error)) {
        calls.remove(fresh);
        return error;
    }
    return {};
}

} // namespace zorvan::graphs
