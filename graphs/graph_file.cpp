#include "graphs/graph_file.h"

#include "settings/number_format.h"
#include "settings/windows1251.h"

#include <algorithm>
#include <charconv>

namespace zorvan::graphs {

namespace {

constexpr qsizetype kChunkBytes = 64 * 1024;
constexpr int kValueWidth = 12;

// Appends `value` with `decimals` decimals and `separator`, right-aligned in `width` characters
// (a longer number is not cut).
void appendFixed(QByteArray& text, double value, int decimals, char separator, int width) {
    char digits[400];
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    const qsizetype length = error == std::errc{} ? end - digits : 0;
    std::replace(digits, digits + length, '.', separator);
    if (length < width) {
        text.append(width - length, ' ');
    }
    text.append(digits, length);
}

// The fields of a line: runs of anything but blanks and TABs.
std::vector<QStringView> fieldsOf(QStringView line) {
    std::vector<QStringView> fields;
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) {
            ++i;
        }
        const qsizetype start = i;
        while (i < line.size() && line[i] != u' ' && line[i] != u'\t') {
            ++i;
        }
        if (i > start) {
            fields.push_back(line.mid(start, i - start));
        }
    }
    return fields;
}

GraphFileLine parseLine(const QByteArray& bytes, int valueColumns) {
    QString text = settings::decodeWindows1251(bytes);
    // A file written with the other separator reads the same.
    const QChar separator = settings::decimalSeparator();
    text.replace(separator == u'.' ? QLatin1Char(',') : QLatin1Char('.'), separator);
    const std::vector<QStringView> fields = fieldsOf(text);
    GraphFileLine line;
    if (!fields.empty()) {
        line.time = fields[0].toString();
    }
    for (int column = 0; column < valueColumns; ++column) {
        const auto field = static_cast<std::size_t>(column) + 1;
        line.values.push_back(field < fields.size() ? settings::parseReal(fields[field])
                                                    : std::nullopt);
    }
    return line;
}

} // namespace

QByteArray buildGraphFile(qsizetype points, const std::function<QString(qsizetype)>& label,
                          int unitLength, const std::vector<GraphFileColumn>& columns) {
    QByteArray text;
    const qsizetype width = points > 0 ? label(0).size() - 1 : 0;
    text.reserve(points * (width + 2 + (kValueWidth + 1) * static_cast<qsizetype>(columns.size())));
    const char separator = settings::decimalSeparator().toLatin1();
    for (qsizetype point = 0; point < points; ++point) {
        const QString pointLabel = label(point);
        const QString time =
            pointLabel.mid(1, pointLabel.size() - 1 - unitLength).rightJustified(width);
        // Times are digits and a separator; the code page is only needed for anything else.
        const bool ascii =
            std::all_of(time.begin(), time.end(), [](QChar c) { return c.unicode() < 0x80; });
        text += ascii ? time.toLatin1() : settings::encodeWindows1251(time);
        for (const GraphFileColumn& column : columns) {
            text += '\t';
            appendFixed(text, column.value(point), column.decimals, separator, kValueWidth);
        }
        text += "\r\n";
    }
    return text;
}

void readGraphFile(QIODevice& device, int valueColumns,
                   const std::function<void(const GraphFileLine&)>& onLine) {
    QByteArray line;
    bool lineCut = false;
    const auto endLine = [&] {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        onLine(parseLine(line, valueColumns));
        line.clear();
        lineCut = false;
    };
    QByteArray chunk;
    while (!(chunk = device.read(kChunkBytes)).isEmpty()) {
        qsizetype from = 0;
        while (from < chunk.size()) {
            const qsizetype end = chunk.indexOf('\n', from);
            const qsizetype to = end < 0 ? chunk.size() : end;
            if (!lineCut) {
                line.append(chunk.constData() + from,
                            std::min(to - from, kMaxLineBytes - line.size()));
                lineCut = line.size() >= kMaxLineBytes;
            }
            if (end < 0) {
                break;
            }
            endLine();
            from = end + 1;
        }
    }
    if (!line.isEmpty()) {
        endLine();
    }
}

} // namespace zorvan::graphs
