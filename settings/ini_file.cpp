#include "settings/ini_file.h"

#include "settings/ini_document.h"

#include <QFile>
#include <QSaveFile>

namespace zorvan::settings {

namespace {

WriteFailureHandler& writeFailureHandler() {
    static WriteFailureHandler handler;
    return handler;
}

std::optional<QByteArray> readBytes(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return QByteArray();
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.readAll();
}

bool replaceFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

void setWriteFailureHandler(WriteFailureHandler handler) {
    writeFailureHandler() = std::move(handler);
}

QString writeFailureText(const QString& path) {
    return QStringLiteral("Unable to write to %1").arg(path);
}

std::optional<QString> IniFile::readString(QStringView section, QStringView key) const {
    return IniDocument::parse(readBytes(path_).value_or(QByteArray())).value(section, key);
}

bool IniFile::writeString(QStringView section, QStringView key, QStringView value) const {
    const auto bytes = readBytes(path_);
    if (bytes) {
        IniDocument document = IniDocument::parse(*bytes);
        document.setValue(section, key, value);
        if (replaceFile(path_, document.toBytes())) {
            return true;
        }
    }
    if (writeFailureHandler()) {
        writeFailureHandler()(path_);
    }
    return false;
}

} // namespace zorvan::settings
