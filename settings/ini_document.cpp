#include "settings/ini_document.h"

#include "settings/windows1251.h"

namespace zorvan::settings {

IniDocument IniDocument::parse(const QByteArray& bytes) {
    IniDocument document;
    // New lines follow the file's own breaks; a file without any gets the CRLF of the
    // system's profile functions.
    const qsizetype firstBreak = bytes.indexOf('\n');
    if (firstBreak == 0 || (firstBreak > 0 && bytes[firstBreak - 1] != '\r')) {
        document.newLineEnding_ = "\n";
    }
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype lineFeed = bytes.indexOf('\n', start);
        if (lineFeed < 0) {
            document.lines_.push_back(classify(bytes.mid(start), {}));
            break;
        }
        qsizetype end = lineFeed;
        if (end > start && bytes[end - 1] == '\r') {
            --end;
        }
        document.lines_.push_back(
            classify(bytes.mid(start, end - start), bytes.mid(end, lineFeed + 1 - end)));
        start = lineFeed + 1;
    }
    return document;
}

IniDocument::Line IniDocument::classify(QByteArray text, QByteArray ending) {
    Line line;
    line.text = std::move(text);
    line.ending = std::move(ending);
    const QString decoded = decodeWindows1251(line.text);
    const QString trimmed = decoded.trimmed();
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        line.kind = LineKind::Section;
        line.foldedName = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed().toCaseFolded();
        return line;
    }
    const qsizetype equals = decoded.indexOf(u'=');
    if (equals >= 0) {
        line.kind = LineKind::Key;
        line.foldedName = decoded.left(equals).trimmed().toCaseFolded();
        line.value = decoded.mid(equals + 1).trimmed();
    }
    return line;
}

std::optional<std::size_t> IniDocument::findSection(QStringView section) const {
    const QString folded = section.toString().toCaseFolded().trimmed();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Section && lines_[i].foldedName == folded) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t IniDocument::sectionEnd(std::size_t header) const {
    std::size_t end = header + 1;
    while (end < lines_.size() && lines_[end].kind != LineKind::Section) {
        ++end;
    }
    return end;
}

std::optional<QString> IniDocument::value(QStringView section, QStringView key) const {
    const auto header = findSection(section);
    if (!header) {
        return std::nullopt;
    }
    const QString folded = key.toString().toCaseFolded().trimmed();
    const std::size_t end = sectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        if (lines_[i].kind == LineKind::Key && lines_[i].foldedName == folded) {
            return lines_[i].value;
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
        if (!lines_.empty() && !lines_.back().text.trimmed().isEmpty()) {
            insertLine(lines_.size(), {});
        }
        insertLine(lines_.size(), '[' + encodeWindows1251(section) + ']');
        insertLine(lines_.size(), encodeWindows1251(key) + '=' + encodedValue);
        return;
    }

    const QString folded = key.toString().toCaseFolded().trimmed();
    const std::size_t end = sectionEnd(*header);
    std::size_t afterLastKey = *header + 1;
    for (std::size_t i = *header + 1; i < end; ++i) {
        Line& line = lines_[i];
        if (line.kind != LineKind::Key) {
            continue;
        }
        if (line.foldedName == folded) {
            // The key keeps its spelling from the file; only the value part is new.
            const QByteArray name = line.text.left(line.text.indexOf('=')).trimmed();
            line = classify(name + '=' + encodedValue, line.ending);
            return;
        }
        afterLastKey = i + 1;
    }
    insertLine(afterLastKey, encodeWindows1251(key) + '=' + encodedValue);
}

void IniDocument::insertLine(std::size_t at, const QByteArray& text) {
    if (at > 0 && lines_[at - 1].ending.isEmpty()) {
        lines_[at - 1].ending = newLineEnding_;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), classify(text, newLineEnding_));
}

QByteArray IniDocument::toBytes() const {
    QByteArray bytes;
    for (const Line& line : lines_) {
        bytes += line.text;
        bytes += line.ending;
    }
    return bytes;
}

} // namespace zorvan::settings
