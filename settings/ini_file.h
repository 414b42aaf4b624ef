#pragma once

// One settings file on disk, addressed by name. The file is never held open: every read
// loads it afresh and every write replaces it at once through a temporary file in the same
// folder, so a crash mid-write leaves either the old file or the new one, never a part.

#include <QString>
#include <functional>
#include <optional>

namespace zorvan::settings {

// Called with the file's path when a write is refused; the user interface shows the message.
using WriteFailureHandler = std::function<void(const QString& path)>;
void setWriteFailureHandler(WriteFailureHandler handler);

// "Unable to write to <path>", the text shown for a refused write.
QString writeFailureText(const QString& path);

class IniFile {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    // A missing or unreadable file reads as empty.
    std::optional<QString> readString(QStringView section, QStringView key) const;

    // False, after calling the write-failure handler, when the file cannot be replaced. A file
    // that exists but cannot be read is not written either, so its other keys are not lost.
    bool writeString(QStringView section, QStringView key, QStringView value) const;

private:
    QString path_;
};

} // namespace zorvan::settings
