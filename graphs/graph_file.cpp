#include "graphs/graph_file.h"

#include "graphs/fixed_point.h"
#include "settings/number_format.h"
#include "settings/windows1251.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string_view>
#include <system_error>
#include <thread>

namespace zorvan::graphs {

namespace {

constexpr qsizetype kChunkBytes = 64 * 1024;
constexpr int kValueWidth = 12;
constexpr qsizetype kPointsWorthASecondThread = 20'000;

// Appends `value` with `decimals` decimals and `separator`, right-aligned in `width` characters
// (a longer number is not cut).
void appendFixed(QByteArray& text, double value, int decimals, char separator, int width) {
    char digits[kMaxFixedLength];
    const int length = writeFixed(digits, value, decimals, separator);
    const int padding = std::max(width - length, 0);
    const qsizetype at = text.size();
    text.resize(at + padding + length);
    char* out = text.data() + at;
    std::memset(out, ' ', std::size_t(padding));
    std::memcpy(out + padding, digits, std::size_t(length));
}

bool isFieldGap(char c) {
    return c == ' ' || c == '\t';
}

// What trimming a field leaves out besides blanks and TABs: the rest of the ASCII white space
// and the code page's no-break space.
bool isTrimmedSpace(char c) {
    return c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\xA0';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool skipDigits(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && isDigit(text[at])) {
        ++at;
    }
    return at > start;
}

bool isSign(std::string_view text, std::size_t at) {
    return at < text.size() && (text[at] == '+' || text[at] == '-');
}

// Whether the text is "[sign]digits[sep digits][e[sign]digits]" with either separator: a file
// written with the other separator reads the same.
bool isNumber(std::string_view text) {
    std::size_t at = isSign(text, 0) ? 1 : 0;
    bool hasDigits = skipDigits(text, at);
    if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
        ++at;
        hasDigits = skipDigits(text, at) || hasDigits;
    }
    if (!hasDigits) {
        return false;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        at += isSign(text, at) ? 1 : 0;
        if (!skipDigits(text, at)) {
            return false;
        }
    }
    return at == text.size();
}

// Read straight from the file's bytes: the digits, signs and separators of a number are the
// same in the code page as in ASCII.
std::optional<double> numberOf(std::string_view field) {
    while (!field.empty() && isTrimmedSpace(field.front())) {
        field.remove_prefix(1);
    }
    while (!field.empty() && isTrimmedSpace(field.back())) {
        field.remove_suffix(1);
    }
    if (!isNumber(field)) {
        return std::nullopt;
    }
    if (field.front() == '+') {
        field.remove_prefix(1);
    }
    char dotted[kMaxLineBytes];
    std::copy(field.begin(), field.end(), dotted);
    std::replace(dotted, dotted + field.size(), ',', '.');
    double value = 0.0;
    const auto [end, error] = std::from_chars(dotted, dotted + field.size(), value);
    if (error != std::errc{} || end != dotted + field.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// The time field as the program shows it: with the process decimal separator, whichever the
// file was written with.
QString timeTextOf(std::string_view field, char separator) {
    const char other = separator == '.' ? ',' : '.';
    const bool ascii = std::all_of(field.begin(), field.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii) {
        QByteArray bytes(field.data(), qsizetype(field.size()));
        std::replace(bytes.begin(), bytes.end(), other, separator);
        return settings::decodeWindows1251(bytes);
    }
    QString text(qsizetype(field.size()), Qt::Uninitialized);
    std::transform(field.begin(), field.end(), text.data(),
                   [&](char c) { return QChar(QLatin1Char(c == other ? separator : c)); });
    return text;
}

// Fills `line` from the bytes of one line; the fields are runs of anything but blanks and TABs.
void parseLine(std::string_view bytes, char separator, GraphFileLine& line) {
    std::size_t at = 0;
    const auto nextField = [&]() -> std::string_view {
        while (at < bytes.size() && isFieldGap(bytes[at])) {
            ++at;
        }
        const std::size_t start = at;
        while (at < bytes.size() && !isFieldGap(bytes[at])) {
            ++at;
        }
        return bytes.substr(start, at - start);
    };
    const std::string_view timeField = nextField();
    line.time = timeTextOf(timeField, separator);
    line.timeValue = timeField.empty() ? std::nullopt : numberOf(timeField);
    for (std::optional<double>& value : line.values) {
        const std::string_view field = nextField();
        value = field.empty() ? std::nullopt : numberOf(field);
    }
}

// Appends the time field: the label between its blank and its unit, right-aligned in `width`.
void appendTime(QByteArray& text, QStringView label, int unitLength, qsizetype width) {
    const qsizetype length = label.size() - 1 - unitLength;
    const QStringView time = label.size() <= 1 ? QStringView()
                             : length < 0      ? label.sliced(1)
                                               : label.sliced(1, length);
    if (time.size() < width) {
        text.append(width - time.size(), ' ');
    }
    // Times are digits and a separator; the code page is only needed for anything else.
    if (std::any_of(time.begin(), time.end(), [](QChar c) { return c.unicode() >= 0x80; })) {
        text += settings::encodeWindows1251(time);
        return;
    }
    const qsizetype at = text.size();
    text.resize(at + time.size());
    std::transform(time.begin(), time.end(), text.data() + at,
                   [](QChar c) { return char(c.unicode()); });
}

} // namespace

QByteArray buildGraphFile(qsizetype points, const std::function<QString(qsizetype)>& label,
                          int unitLength, const std::vector<GraphFileColumn>& columns) {
    const qsizetype width = points > 0 ? label(0).size() - 1 : 0;
    const qsizetype lineBytes =
        width + 2 + (kValueWidth + 1) * static_cast<qsizetype>(columns.size());
    const char separator = settings::decimalSeparator().toLatin1();
    const auto appendLines = [&](QByteArray& text, qsizetype from, qsizetype to) {
        text.reserve((to - from) * lineBytes);
        std::vector<GraphFileValue> values(columns.size());
        for (qsizetype point = from; point < to; ++point) {
            for (std::size_t column = 0; column < columns.size(); ++column) {
                values[column] = {columns[column].value(point), columns[column].decimals};
            }
            appendGraphFileLine(text, label(point), unitLength, width, values, separator);
        }
    };
    QByteArray text;
    // A week of points is made in two halves at once where a second core is there to take one.
    std::optional<std::thread> secondHalf;
    QByteArray secondText;
    const qsizetype half = points / 2;
    if (points >= kPointsWorthASecondThread && std::thread::hardware_concurrency() > 1) {
        try {
            secondHalf.emplace([&] { appendLines(secondText, half, points); });
        } catch (const std::system_error&) {
            // No thread to be had: this one makes the whole file.
        }
    }
    appendLines(text, 0, secondHalf ? half : points);
    if (secondHalf) {
        secondHalf->join();
        text += secondText;
    }
    return text;
}

void appendGraphFileLine(QByteArray& text, QStringView label, int unitLength, qsizetype timeWidth,
                         std::span<const GraphFileValue> values, char separator) {
    appendTime(text, label, unitLength, timeWidth);
    for (const GraphFileValue& value : values) {
        text += '\t';
        appendFixed(text, value.value, value.decimals, separator, kValueWidth);
    }
    text += "\r\n";
}

void readGraphFile(QIODevice& device, int valueColumns,
                   const std::function<void(const GraphFileLine&)>& onLine) {
    QByteArray line;
    bool lineCut = false;
    GraphFileLine parsed; // one for all lines, so that a line allocates only its time text
    parsed.values.resize(std::size_t(std::max(valueColumns, 0)));
    // Asked once: until it is set, the separator is the system locale's, costly to ask for.
    const char separator = settings::decimalSeparator() == u',' ? ',' : '.';
    const auto endLine = [&] {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        parseLine(std::string_view(line.constData(), std::size_t(line.size())), separator, parsed);
        onLine(parsed);
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
