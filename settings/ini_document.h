#pragma once

// The text of one settings file in memory: its bytes as read, with the lines found in them, so a
// change to one key rewrites only that key's line and every other byte stays as it was.
// Names are decoded from Windows-1251 only while they are compared, values only when asked for.

#include "settings/ini_line.h"

#include <QByteArray>
#include <QString>
#include <initializer_list>
#include <optional>
#include <vector>

namespace zorvan::settings {

class IniDocument {
public:
    IniDocument() = default;

    // Any bytes are accepted: lines that are neither a "[section]" nor a "key=value" line are
    // kept and otherwise ignored.
    static IniDocument parse(QByteArrayView bytes);

    // The value of the first occurrence of key in the first occurrence of section, names
    // compared without letter case, blanks around the value removed; nullopt when absent.
    std::optional<QString> value(QStringView section, QStringView key) const;

    // Replaces the key's line, or adds the key after the last key line of its section, or
    // appends the section with the key at the end. Line breaks in value become blanks.
    void setValue(QStringView section, QStringView key, QStringView value);

    QByteArray toBytes() const { return bytes_; }

private:
    // bytes must own their data: the lines view it for the document's lifetime.
    static IniDocument fromOwnBytes(QByteArray bytes);
    std::optional<std::size_t> findSection(QStringView section) const;
    std::size_t sectionEnd(std::size_t header) const;
    qsizetype lineStart(std::size_t line) const;
    void insertLines(std::size_t at, std::initializer_list<QByteArray> texts);
    void replaceBytes(qsizetype from, qsizetype to, const QByteArray& replacement);

    // Never changed in place: an edit parses the edited copy, so lines_ always views these bytes,
    // in every copy of the document too.
    QByteArray bytes_;
    std::vector<IniLine> lines_;
    QByteArray newLineEnding_ = "\r\n";
};

} // namespace zorvan::settings
