#include "settings/typed_settings.h"

#include "settings/integer_text.h"
#include "settings/number_format.h"
#include "settings/settings_path.h"

namespace zorvan::settings {

namespace {

std::optional<QString> readText(QStringView section, QStringView name) {
    std::optional<QString> text = settingsFile().readString(section, name);
    if (text) {
        text->truncate(kMaxTextLength);
    }
    return text;
}

std::int32_t readInteger(QStringView section, QStringView name, std::int32_t defaultValue) {
    const std::optional<QString> text = readText(section, name);
    return text ? parseInteger(*text).value_or(defaultValue) : defaultValue;
}

} // namespace

bool settingExists(QStringView section, QStringView name) {
    return settingsFile().readString(section, name).has_value();
}

std::int32_t readSetting(const IntegerKey& key) {
    return readInteger(key.section, key.name, key.defaultValue);
}

bool readSetting(const BoolKey& key) {
    return readInteger(key.section, key.name, key.defaultValue ? 1 : 0) != 0;
}

double readSetting(const RealKey& key) {
    const std::optional<QString> text = readText(key.section, key.name);
    return text ? parseReal(*text).value_or(key.defaultValue) : key.defaultValue;
}

QString readSetting(const TextKey& key) {
    return readText(key.section, key.name).value_or(key.defaultValue.toString());
}

bool writeSetting(const IntegerKey& key, std::int32_t value) {
    return settingsFile().writeString(key.section, key.name, QString::number(value));
}

bool writeSetting(const BoolKey& key, bool value) {
    return settingsFile().writeString(key.section, key.name, value ? u"1" : u"0");
}

bool writeSetting(const RealKey& key, double value) {
    return settingsFile().writeString(key.section, key.name, formatReal(value));
}

bool writeSetting(const TextKey& key, QStringView value) {
    return settingsFile().writeString(key.section, key.name, value);
}

} // namespace zorvan::settings
