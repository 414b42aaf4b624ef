#include "settings/ini_line.h"

#include "settings/windows1251.h"

#include <QChar>

namespace zorvan::settings {

namespace {

// The blanks that QString::trimmed removes, as Windows-1251 bytes: the ASCII ones and the
// no-break space 0xA0.
bool isBlank(char byte) {
    return byte == ' ' || (byte >= '\t' && byte <= '\r') || byte == '\xA0';
}

QByteArrayView trimmed(QByteArrayView bytes) {
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isBlank(bytes[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(bytes[end - 1])) {
        --end;
    }
    return bytes.sliced(begin, end - begin);
}

} // namespace

IniLine classifyIniLine(QByteArrayView text, QByteArrayView ending) {
    IniLine line{IniLine::Kind::Other, text, ending, {}, {}};
    const QByteArrayView content = trimmed(text);
    if (content.startsWith('[')) {
        const qsizetype close = content.indexOf(']');
        line.kind = IniLine::Kind::Section;
        line.name = trimmed(content.sliced(1, (close < 0 ? content.size() : close) - 1));
        return line;
    }
    const qsizetype equals = text.indexOf('=');
    if (equals >= 0) {
        line.kind = IniLine::Kind::Key;
        line.name = trimmed(text.first(equals));
        line.value = trimmed(text.sliced(equals + 1));
    }
    return line;
}

bool iniNameEquals(QByteArrayView name, QStringView foldedName) {
    // Simple case folding maps one UTF-16 unit to one, so the lengths must agree.
    if (name.size() != foldedName.size()) {
        return false;
    }
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (QChar::toCaseFolded(char32_t(windows1251Character(name[i]))) !=
            foldedName[i].unicode()) {
            return false;
        }
    }
    return true;
}

} // namespace zorvan::settings
