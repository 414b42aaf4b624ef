#pragma once

// Typed reads and writes of single keys of the process settings file. A key that is absent
// or does not convert reads as its default; every write goes to the file at once.

#include "settings/keys.h"

#include <QString>
#include <cstdint>

namespace zorvan::settings {

// Text values are cut to this length when read, as the system's profile functions do.
inline constexpr qsizetype kMaxTextLength = 2047;

bool settingExists(QStringView section, QStringView name);

template <typename Key> bool settingExists(const Key& key) {
    return settingExists(key.section, key.name);
}

std::int32_t readSetting(const IntegerKey& key);
// Read as an integer; any non-zero value is true.
bool readSetting(const BoolKey& key);
// An empty value or one that does not convert with the current decimal separator gives the
// default.
double readSetting(const RealKey& key);
QString readSetting(const TextKey& key);

bool writeSetting(const IntegerKey& key, std::int32_t value);
// Written as "1" or "0".
bool writeSetting(const BoolKey& key, bool value);
// Written in the shortest general form with the current decimal separator.
bool writeSetting(const RealKey& key, double value);
bool writeSetting(const TextKey& key, QStringView value);

template <typename Key> bool writeDefault(const Key& key) {
    return writeSetting(key, key.defaultValue);
}

} // namespace zorvan::settings
