#include "settings/ini_document.h"

#include "settings/windows1251.h"

namespace zorvan::settings {

IniDocument IniDocument::parse(QByteArrayView bytes) {
    // A copy of its own: the lines view it, and the caller's bytes may not outlive the document.
    return fromOwnBytes(bytes.toByteArray());
}

IniDocument IniDocument::fromOwnBytes(QByteArray bytes) {
    IniDocument document;
    document.bytes_ = std::move(bytes);
    // New lines follow the file's own breaks; a file without any gets the CRLF of the
    // system's profile functions. An edit never adds a break before the first one.
    const qsizetype firstBreak = document.bytes_.indexOf('\n');
    if (firstBreak == 0 || (firstBreak > 0 && document.bytes_[firstBreak - 1] != '\r')) {
        document.newLineEnding_ = "\n";
    }
    document.lines_.reserve(static_cast<std::size_t>(document.bytes_.count('\n')) + 1);
    readIniLines(document.bytes_, [&](const IniLine& line) { document.lines_.push_back(line); });
    return document;
}

std::optional<std::size_t> IniDocument::findSection(QStringView section) const {
    const QString folded = section.toString().toCaseFolded().trimmed();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == IniLine::Kind::Section && iniNameEquals(lines_[i].name, folded)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t IniDocument::sectionEnd(std::size_t header) const {
    std::size_t end = header + 1;
    while (end < lines_.size() && lines_[end].kind != IniLine::Kind::Section) {
        ++end;
    }
    return end;
}

qsizetype IniDocument::lineStart(std::size_t line) const {
    return line < lines_.size() ? lines_[line].text.data() - bytes_.constData() : bytes_.size();
}

std::optional<QString> IniDocument::value(QStringView section, QStringView key) const {
    const auto header = findSection(section);
    if (!header) {
        return std::nullopt;
    }
    const QString folded = key.toString().toCaseFolded().trimmed();
    const std::size_t end = sectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        if (lines_[i].kind == IniLine::Kind::Key && iniNameEquals(lines_[i].name, folded)) {
            return decodeWindows1251(lines_[i].value);
        }
    }
    return std::nullopt;
}

void IniDocument::setValue(QStringView section, QStringView key, QStringView value) {
    QString oneLine = value.toString();
    oneLine.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray encodedValue = encodeWindows1251(oneLine);

    const auto header = findSection(section);
    if (!header) {
        const QByteArray sectionLine = '[' + encodeWindows1251(section) + ']';
        const QByteArray keyLine = encodeWindows1251(key) + '=' + encodedValue;
        if (!lines_.empty() && !lines_.back().text.trimmed().isEmpty()) {
            insertLines(lines_.size(), {QByteArray(), sectionLine, keyLine});
        } else {
            insertLines(lines_.size(), {sectionLine, keyLine});
        }
        return;
    }

    const QString folded = key.toString().toCaseFolded().trimmed();
    const std::size_t end = sectionEnd(*header);
    std::size_t afterLastKey = *header + 1;
    for (std::size_t i = *header + 1; i < end; ++i) {
        const IniLine& line = lines_[i];
        if (line.kind != IniLine::Kind::Key) {
            continue;
        }
        if (iniNameEquals(line.name, folded)) {
            // The key keeps its spelling from the file; only the value part is new.
            const QByteArrayView name = line.text.first(line.text.indexOf('=')).trimmed();
            const qsizetype start = lineStart(i);
            replaceBytes(start, start + line.text.size(), name.toByteArray() + '=' + encodedValue);
            return;
        }
        afterLastKey = i + 1;
    }
    insertLines(afterLastKey, {encodeWindows1251(key) + '=' + encodedValue});
}

void IniDocument::insertLines(std::size_t at, std::initializer_list<QByteArray> texts) {
    // Only the last line can lack its break.
    QByteArray inserted = at > 0 && lines_[at - 1].ending.isEmpty() ? newLineEnding_ : QByteArray();
    for (const QByteArray& text : texts) {
        inserted += text + newLineEnding_;
    }
    const qsizetype start = lineStart(at);
    replaceBytes(start, start, inserted);
}

void IniDocument::replaceBytes(qsizetype from, qsizetype to, const QByteArray& replacement) {
    *this = fromOwnBytes(bytes_.first(from) + replacement + bytes_.sliced(to));
}

} // namespace zorvan::settings
