#include "settings/settings_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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

} // namespace

QString settingsPathBeside(const QString& executablePath) {
    const QString fileName = QFileInfo(executablePath).fileName();
    const qsizetype dot = fileName.lastIndexOf(u'.');
    // A leading dot marks a hidden file, not an extension.
    const qsizetype extensionLength = dot > 0 ? fileName.size() - dot : 0;
    return executablePath.chopped(extensionLength) + QStringLiteral(".ini");
}

QString settingsPathFor(const QString& executablePath, const QString& configFolder) {
    const QString beside = settingsPathBeside(executablePath);
    const QFileInfo besideInfo(beside);
    if (QFileInfo(besideInfo.absolutePath()).isWritable()) {
        return beside;
    }
    return QDir(configFolder).filePath(besideInfo.fileName());
}

QString settingsFilePath() {
    QString& path = chosenPath();
    if (path.isEmpty()) {
        const QString configFolder = userConfigFolder();
        path = settingsPathFor(QCoreApplication::applicationFilePath(), configFolder);
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
