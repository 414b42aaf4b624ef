#pragma once

// Where the settings file lives: beside the executable, named after it, or in the user's
// configuration folder when the executable's folder cannot be written or is an installed
// program's folder.

#include "settings/ini_file.h"

#include <QString>
#include <QStringList>

namespace zorvan::settings {

// The executable's path with its extension replaced by ".ini", or ".ini" appended when the
// name has none: /opt/z/zorvan gives /opt/z/zorvan.ini, C:/z/viewer.exe gives C:/z/viewer.ini.
QString settingsPathBeside(const QString& executablePath);

// settingsPathBeside, or the same file name inside configFolder when no file can be created
// in the executable's folder or that folder lies inside one of protectedFolders.
QString settingsPathFor(const QString& executablePath, const QString& configFolder,
                        const QStringList& protectedFolders = {});

// The folders of installed programs on Windows ("C:/Program Files" and its kin), where a
// program's folder belongs to the installer, not to the user; none elsewhere.
QStringList programFilesFolders();

// The file of this process, worked out from the running executable on first use.
QString settingsFilePath();

// Points the whole process at another file (tests, the demo); an empty path goes back to the
// executable's file.
void setSettingsFilePath(const QString& path);

inline IniFile settingsFile() {
    return IniFile(settingsFilePath());
}

} // namespace zorvan::settings
