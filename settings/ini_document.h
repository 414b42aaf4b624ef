#pragma once

// The text of one settings file in memory: a list of lines kept as the raw bytes read, so a
// change to one key rewrites only that key's line and every other byte stays as it was.
// Lines are decoded from Windows-1251 only to find section and key names.

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace zorvan::settings {

class IniDocument {
public:
    IniDocument() = default;

    // Any bytes are accepted: lines that are neither a "[section]" nor a "key=value" line are
    // kept and otherwise ignored.
    static IniDocument parse(const QByteArray& bytes);

    // The value of the first occurrence of key in the first occurrence of section, names
    // compared without letter case, blanks around the value removed; nullopt when absent.
    std::optional<QString> value(QStringView section, QStringView key) const;

    // Replaces the key's line, or adds the key after the last key line of its section, or
    // appends the section with the key at the end. Line breaks in value become blanks.
    void setValue(QStringView section, QStringView key, QStringView value);

    QByteArray toBytes() const;

private:
    enum class LineKind { Other, Section, Key };

    struct Line {
        QByteArray text;   // raw bytes without the line break
        QByteArray ending; // "\r\n", "\n" or empty for a last line without a break
        LineKind kind = LineKind::Other;
        QString foldedName; // section or key name, case-folded
        QString value;      // Key lines only
    };

    static Line classify(QByteArray text, QByteArray ending);
    std::optional<std::size_t> findSection(QStringView section) const;
    std::size_t sectionEnd(std::size_t header) const;
    void insertLine(std::size_t at, const QByteArray& text);

    std::vector<Line> lines_;
    QByteArray newLineEnding_ = "\r\n";
};

} // namespace zorvan::settings
