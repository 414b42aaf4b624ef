#include "settings/ini_file.h"

#include "settings/ini_document.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <mutex>
#include <set>
#include <utility>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zorvan::settings {

namespace {

struct ProblemReports {
    std::mutex mutex; // guards the fields below: settings are also written from line jobs
    FileProblemHandler handler;
    std::set<std::pair<QString, FileProblem>> told;
};

ProblemReports& problemReports() {
    static ProblemReports reports;
    return reports;
}

void report(const QString& path, FileProblem problem) {
    ProblemReports& reports = problemReports();
    FileProblemHandler handler;
    {
        const std::lock_guard lock(reports.mutex);
        if (!reports.handler || !reports.told.insert({path, problem}).second) {
            return;
        }
        handler = reports.handler;
    }
    handler(path, problem);
}

// Opens for reading without waiting: opening a pipe would wait for a writer for ever.
bool openWithoutBlocking(QFile& file) {
#ifdef _WIN32
    return file.open(QIODevice::ReadOnly);
#else
    const int fd =
        ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#endif
}

// What a read found: the bytes, or why there are none to use.
struct FileBytes {
    QByteArray bytes;
    std::optional<FileProblem> problem;
    bool readable = true;
};

// No file at the path reads as empty; a dangling link too, as a write creates its target.
FileBytes readBytes(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return {};
    }
    if (!info.isFile()) {
        return {{}, FileProblem::NotAFile, false};
    }
    if (info.size() > kMaxSettingsFileBytes) {
        return {{}, FileProblem::TooLarge, false};
    }
    QFile file(path);
    if (!openWithoutBlocking(file)) {
        return {{}, std::nullopt, false};
    }
    // The file may have grown, or been swapped for something else, since it was looked at.
    QByteArray bytes = file.read(kMaxSettingsFileBytes + 1);
    if (bytes.size() > kMaxSettingsFileBytes) {
        return {{}, FileProblem::TooLarge, false};
    }
    return {std::move(bytes), std::nullopt, true};
}

bool replaceFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

void setFileProblemHandler(FileProblemHandler handler) {
    ProblemReports& reports = problemReports();
    const std::lock_guard lock(reports.mutex);
    reports.handler = std::move(handler);
    reports.told.clear();
}

QString fileProblemText(const QString& path, FileProblem problem) {
    switch (problem) {
    case FileProblem::NotAFile:
        return QStringLiteral("%1 is not a regular file. The settings are not read from it or "
                              "written to it; the program runs with the default settings.")
            .arg(path);
    case FileProblem::TooLarge:
        return QStringLiteral("%1 is too large to be a settings file. It is not read or "
                              "written; the program runs with the default settings.")
            .arg(path);
    case FileProblem::Unwritable:
        break;
    }
    return QStringLiteral("Unable to write to %1").arg(path);
}

std::optional<QString> IniFile::readString(QStringView section, QStringView key) const {
    const FileBytes file = readBytes(path_);
    if (file.problem) {
        report(path_, *file.problem);
    }
    return IniDocument::parse(file.bytes).value(section, key);
}

bool IniFile::writeString(QStringView section, QStringView key, QStringView value) const {
    const FileBytes file = readBytes(path_);
    if (!file.readable) {
        report(path_, file.problem.value_or(FileProblem::Unwritable));
        return false;
    }
    IniDocument document = IniDocument::parse(file.bytes);
    document.setValue(section, key, value);
    if (replaceFile(path_, document.toBytes())) {
        return true;
    }
    report(path_, FileProblem::Unwritable);
    return false;
}

} // namespace zorvan::settings
