#include "settings/settings_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace zorvan::settings {

namespace {

QString& chosenPath() {
    static QString path;
    return path;
}

QString userConfigFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/zorvan");
}

// Qt's writability check reads only the read-only attribute on Windows, which says nothing of
// the folder's permissions; creating a file is the one sure test.
bool folderAcceptsNewFiles(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("zorvan-probe-XXXXXX")));
    return probe.open();
}

bool isInsideAny(const QString& folder, const QStringList& parents) {
    const QString cleanFolder = QDir::cleanPath(folder) + u'/';
    for (const QString& parent : parents) {
        if (cleanFolder.startsWith(QDir::cleanPath(parent) + u'/', Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

} // namespace

QString settingsPathBeside(const QString& executablePath) {
    const QString fileName = QFileInfo(executablePath).fileName();
    const qsizetype dot = fileName.lastIndexOf(u'.');
    // A leading dot marks a hidden file, not an extension.
    const qsizetype extensionLength = dot > 0 ? fileName.size() - dot : 0;
    return executablePath.chopped(extensionLength) + QStringLiteral(".ini");
}

QString settingsPathFor(const QString& executablePath, const QString& configFolder,
                        const QStringList& protectedFolders) {
    const QString beside = settingsPathBeside(executablePath);
    const QFileInfo besideInfo(beside);
    const QString folder = besideInfo.absolutePath();
    if (!isInsideAny(folder, protectedFolders) && folderAcceptsNewFiles(folder)) {
        return beside;
    }
    return QDir(configFolder).filePath(besideInfo.fileName());
}

QStringList programFilesFolders() {
#ifdef _WIN32
    QStringList folders;
    for (const char* name : {"ProgramFiles", "ProgramW6432", "ProgramFiles(x86)"}) {
        const QString folder = qEnvironmentVariable(name);
        if (!folder.isEmpty()) {
            folders.append(QDir::fromNativeSeparators(folder));
        }
    }
    return folders;
#else
    return {};
#endif
}

QString settingsFilePath() {
    QString& path = chosenPath();
    if (path.isEmpty()) {
        const QString configFolder = userConfigFolder();
        path = settingsPathFor(QCoreApplication::applicationFilePath(), configFolder,
                               programFilesFolders());
        if (path.startsWith(configFolder)) {
            QDir().mkpath(configFolder);
        }
    }
    return path;
}

void setSettingsFilePath(const QString& path) {
    chosenPath() = path;
}

} // namespace zorvan::settings
