// Writing graph data files: lines made straight into the text, a long file on two threads.
#include "graphs/graph_file.h"

#include "graphs/fixed_point.h"
#include "settings/number_format.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <system_error>
#include <thread>

namespace zorvan::graphs {

namespace {

constexpr int kValueWidth = 12;
constexpr qsizetype kPointsWorthASecondThread = 20'000;

} // namespace

QByteArray buildGraphFile(qsizetype points, const TimeFieldOf& timeField, int unitLength,
                          const std::vector<GraphFileColumn>& columns) {
    std::string scratch;
    const qsizetype width = points > 0 ? qsizetype(timeField(0, scratch).size()) + unitLength : 0;
    const qsizetype lineBytes =
        width + 2 + (kValueWidth + 1) * static_cast<qsizetype>(columns.size());
    const char separator = settings::decimalSeparator().toLatin1();
    // The first half's text has room for the whole, so that the second is added without a copy
    // of the first.
    const auto appendLines = [&](QByteArray& text, qsizetype from, qsizetype to) {
        text.reserve((points - from) * lineBytes);
        std::vector<GraphFileValue> values(columns.size());
        std::string timeScratch;
        for (qsizetype point = from; point < to; ++point) {
            for (std::size_t column = 0; column < columns.size(); ++column) {
                values[column] = {columns[column].value(point), columns[column].decimals};
            }
            appendGraphFileLine(text, timeField(point, timeScratch), width, values, separator);
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

// Written through a pointer into room made for the longest such line: a save writes a hundred
// thousand of them.
void appendGraphFileLine(QByteArray& text, std::string_view timeField, qsizetype timeWidth,
                         std::span<const GraphFileValue> values, char separator) {
    const qsizetype time = qsizetype(timeField.size());
    const qsizetype padding = std::max(timeWidth - time, qsizetype(0));
    const qsizetype most = padding + time + qsizetype(values.size()) * (1 + kMaxFixedLength) + 2;
    const qsizetype at = text.size();
    text.resize(at + most);
    char* const begin = text.data() + at;
    char* out = begin;
    std::memset(out, ' ', std::size_t(padding));
    out = std::copy(timeField.begin(), timeField.end(), out + padding);
    for (const GraphFileValue& value : values) {
        *out++ = '\t';
        out = writeFixedAligned(out, value.value, value.decimals, separator, kValueWidth);
    }
    *out++ = '\r';
    *out++ = '\n';
    text.resize(at + (out - begin));
}

} // namespace zorvan::graphs
