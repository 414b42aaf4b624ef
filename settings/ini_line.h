#pragma once

// The lines of a settings file, found and classified on the raw bytes. Windows-1251 gives every
// byte one character and keeps '[', ']', '=' and the blanks as they are in ASCII, so the names and
// values are byte ranges and no line is decoded until its name or value is asked for.

#include <QByteArrayView>
#include <QStringView>

namespace zorvan::settings {

struct IniLine {
    enum class Kind { Other, Section, Key };

    Kind kind = Kind::Other;
    QByteArrayView text;   // without the line break
    QByteArrayView ending; // "\r\n", "\n" or empty for a last line without a break
    QByteArrayView name;   // section or key name without the blanks around it
    QByteArrayView value;  // Key lines only, without the blanks around it
};

// A "[section]" line (its closing bracket may be missing), a "key=value" line, or another.
IniLine classifyIniLine(QByteArrayView text, QByteArrayView ending);

// Calls take(line) for every line of bytes in order; the views point into bytes.
template <typename Take> void readIniLines(QByteArrayView bytes, Take&& take) {
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype lineFeed = bytes.indexOf('\n', start);
        if (lineFeed < 0) {
            take(classifyIniLine(bytes.sliced(start), {}));
            return;
        }
        const qsizetype end =
            lineFeed > start && bytes[lineFeed - 1] == '\r' ? lineFeed - 1 : lineFeed;
        take(classifyIniLine(bytes.sliced(start, end - start),
                             bytes.sliced(end, lineFeed + 1 - end)));
        start = lineFeed + 1;
    }
}

// Whether a name of the file is foldedName, which is case-folded already, without letter case.
bool iniNameEquals(QByteArrayView name, QStringView foldedName);

} // namespace zorvan::settings
