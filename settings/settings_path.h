#pragma once

// Where the settings file lives: beside the executable, named after it, or in the user's
// configuration folder when the executable's folder cannot be written (a system-wide install).

#include "settings/ini_file.h"

#include <QString>

namespace zorvan::settings {

// The executable's path with its extension replaced by ".ini", or ".ini" appended when the
// name has none: /opt/z/zorvan gives /opt/z/zorvan.ini, C:/z/viewer.exe gives C:/z/viewer.ini.
QString settingsPathBeside(const QString& executablePath);

// settingsPathBeside, or the same file name inside configFolder when the executable's folder
// is not writable.
QString settingsPathFor(const QString& executablePath, const QString& configFolder);

// The file of this process, worked out from the running executable on first use.
QString settingsFilePath();

// Points the whole process at another file (tests, the demo); an empty path goes back to the
// executable's file.
void setSettingsFilePath(const QString& path);

inline IniFile settingsFile() {
    return IniFile(settingsFilePath());
}

} // namespace zorvan::settings
