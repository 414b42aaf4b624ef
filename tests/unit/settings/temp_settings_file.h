#pragma once

#include "settings/settings_path.h"
#include "settings/windows1251.h"

#include <QFile>
#include <QTemporaryDir>

namespace zorvan::settings::test {

// Points the whole process at a settings file in a fresh folder for the life of the object.
class TempSettingsFile {
public:
    TempSettingsFile() { setSettingsFilePath(path()); }
    ~TempSettingsFile() { setSettingsFilePath({}); }
    TempSettingsFile(const TempSettingsFile&) = delete;
    TempSettingsFile& operator=(const TempSettingsFile&) = delete;

    QString folder() const { return folder_.path(); }
    QString path() const { return folder_.filePath(QStringLiteral("zorvan.ini")); }

    void writeBytes(const QByteArray& bytes) const {
        QFile file(path());
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
    // The text in Windows-1251, as a file written on the target system would hold it.
    void writeText(QStringView text) const { writeBytes(encodeWindows1251(text)); }

    QByteArray readBytes() const {
        QFile file(path());
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

private:
    QTemporaryDir folder_;
};

} // namespace zorvan::settings::test
