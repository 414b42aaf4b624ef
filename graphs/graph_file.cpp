#include "graphs/graph_file.h"

#include "settings/number_format.h"
#include "settings/windows1251.h"

#include <QFile>
#include <QSaveFile>

namespace zorvan::graphs {

namespace {

constexpr qsizetype kChunkBytes = 64 * 1024;
constexpr int kValueWidth = 12;

QString fixed(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    text.replace(QLatin1Char('.'), settings::decimalSeparator());
    return text;
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

QString writeFlushed(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        return file.errorString();
    }
    return {};
}

} // namespace

QByteArray buildGraphFile(qsizetype points, const std::function<QString(qsizetype)>& label,
                          int unitLength, const std::vector<GraphFileColumn>& columns) {
    QString text;
    const qsizetype width = points > 0 ? label(0).size() - 1 : 0;
    for (qsizetype point = 0; point < points; ++point) {
        const QString pointLabel = label(point);
        text += pointLabel.mid(1, pointLabel.size() - 1 - unitLength).rightJustified(width);
        for (const GraphFileColumn& column : columns) {
            text += QLatin1Char('\t') +
                    fixed(column.value(point), column.decimals).rightJustified(kValueWidth);
        }
        text += QStringLiteral("\r\n");
    }
    return settings::encodeWindows1251(text);
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

QString writeWhole(const QString& path, const QByteArray& bytes) {
    return writeFlushed(path, bytes);
}

QString writeWholeKeepingBackup(const QString& path, const QByteArray& bytes) {
    const QString fresh = path + QStringLiteral(".new");
    const QString backup = path + QStringLiteral(".bak");
    if (QString error = writeFlushed(fresh, bytes); !error.isEmpty()) {
        QFile::remove(fresh);
        return error;
    }
    // From here on the new graph is whole on disk under `fresh`, the previous one under `path`.
    if (QFile::exists(path)) {
        QFile::remove(backup);
        QFile current(path);
        if (!current.rename(backup)) {
            return current.errorString();
        }
    }
    QFile written(fresh);
    if (!written.rename(path)) {
        return written.errorString();
    }
    return {};
}

} // namespace zorvan::graphs
