#pragma once

// The settings file and the graph files hold single-byte Windows Cyrillic text. Every byte
// decodes to exactly one character, so byte offsets and character offsets agree.

#include <QByteArray>
#include <QString>

namespace zorvan::settings {

char16_t windows1251Character(char byte);
QString decodeWindows1251(QByteArrayView bytes);

// Characters the code page lacks become "?".
QByteArray encodeWindows1251(QStringView text);

} // namespace zorvan::settings
