#pragma once

// One settings file on disk, addressed by name. The file is never held open: every read
// loads it afresh and every write replaces it at once through a temporary file in the same
// folder, so a crash mid-write leaves either the old file or the new one, never a part.
//
// Only a regular file of settings size is read or replaced. A device, a pipe or a folder at the
// path, or a file far larger than any settings file, reads as empty (every key its default)
// and is never written: reading it could block the start or fill the memory, and replacing it
// would destroy whatever it is.

#include <QString>
#include <functional>
#include <optional>

namespace zorvan::settings {

// A settings file holds kilobytes; anything larger is not one.
inline constexpr qint64 kMaxSettingsFileBytes = 1024 * 1024;

enum class FileProblem {
    Unwritable, // a write was refused
    NotAFile,   // no regular file stands at the path
    TooLarge,   // larger than kMaxSettingsFileBytes
};

// Called with the file's path when it cannot be used as it should; the user interface shows
// the message. It hears of each problem of a path once, until a handler is installed again, so
// a start that writes many keys to an unwritable file says so once.
using FileProblemHandler = std::function<void(const QString& path, FileProblem problem)>;
void setFileProblemHandler(FileProblemHandler handler);

// The text shown for a problem, naming the path.
QString fileProblemText(const QString& path, FileProblem problem);

class IniFile {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    // A missing or unreadable file reads as empty.
    std::optional<QString> readString(QStringView section, QStringView key) const;

    // False, after reporting the problem, when the file cannot be replaced. A file that exists
    // but cannot be read is not written either, so its other keys are not lost.
    bool writeString(QStringView section, QStringView key, QStringView value) const;

private:
    QString path_;
};

} // namespace zorvan::settings
