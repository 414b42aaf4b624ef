// Reading graph data files back: lines split where they lie in the device's chunks and parsed
// straight from their bytes, on a second thread for a long file.
#include "graphs/graph_file.h"
#include "settings/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

namespace zorvan::graphs {

namespace {

constexpr qsizetype kChunkBytes = 64 * 1024;
// A file this long is parsed on a second thread while the caller takes its lines.
constexpr qint64 kBytesWorthASecondThread = 256 * 1024;
constexpr std::size_t kLinesABatch = 2048;
// How far the parsing may run ahead of the caller, which bounds what it holds.
constexpr std::size_t kBatchesAhead = 8;

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

constexpr double kExactPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
constexpr int kMostExactDigits = 15; // any such integer is below 2^53, so exact in a double

// The field every saved file is made of, "[sign]digits[separator digits]" of at most 15 digits,
// read without a general parser: the digits as an integer divided by a power of ten. Both are
// exact, so the one rounding of the division gives the correctly rounded value, as from_chars
// does. False for anything else, which the general parser decides.
bool readPlainDecimal(std::string_view field, double& value) {
    std::size_t at = isSign(field, 0) ? 1 : 0;
    std::uint64_t digits = 0;
    int count = 0;
    int decimals = 0;
    bool separated = false;
    for (; at < field.size(); ++at) {
        const char c = field[at];
        if (isDigit(c)) {
            digits = digits * 10 + std::uint64_t(c - '0');
            ++count;
            decimals += separated ? 1 : 0;
        } else if ((c == '.' || c == ',') && !separated) {
            separated = true;
        } else {
            return false;
        }
    }
    if (count == 0 || count > kMostExactDigits) {
        return false;
    }
    value = double(digits) / kExactPowersOfTen[decimals];
    if (field.front() == '-') {
        value = -value;
    }
    return true;
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
    if (double plain = 0.0; readPlainDecimal(field, plain)) {
        return plain;
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

// Fills `line` from the bytes of one line; the fields are runs of anything but blanks and TABs.
// The time goes to `time` with the process decimal separator, whichever the file was written
// with.
void parseLine(std::string_view bytes, char separator, GraphFileLine& line, std::string& time) {
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
    time.assign(timeField);
    std::replace(time.begin(), time.end(), separator == '.' ? ',' : '.', separator);
    line.time = time;
    line.timeValue = timeField.empty() ? std::nullopt : numberOf(timeField);
    for (std::optional<double>& value : line.values) {
        const std::string_view field = nextField();
        value = field.empty() ? std::nullopt : numberOf(field);
    }
}

// Calls `onLine` with the bytes of each line of `device`, its CR LF or LF dropped and no longer
// than kMaxLineBytes. A line is taken where it lies in its chunk; only one that runs on into the
// next chunk is gathered, and no further than a line is kept.
template <typename OnLine> void splitLines(QIODevice& device, OnLine onLine) {
    const auto lineOf = [&](std::string_view bytes) {
        bytes = bytes.substr(0, std::size_t(kMaxLineBytes));
        if (!bytes.empty() && bytes.back() == '\r') {
            bytes.remove_suffix(1);
        }
        onLine(bytes);
    };
    QByteArray begun;
    // One buffer for all chunks, no larger than what is left of a file: a short file takes a
    // short buffer.
    const qint64 left = device.isSequential() ? kChunkBytes : device.size() - device.pos();
    QByteArray chunk(qsizetype(std::clamp<qint64>(left, 1, kChunkBytes)), Qt::Uninitialized);
    qint64 got = 0;
    while ((got = device.read(chunk.data(), chunk.size())) > 0) {
        std::string_view rest(chunk.constData(), std::size_t(got));
        while (!rest.empty()) {
            const std::size_t end = rest.find('\n');
            const std::string_view piece = rest.substr(0, end);
            if (begun.isEmpty() && end != std::string_view::npos) {
                lineOf(piece);
                rest.remove_prefix(end + 1);
                continue;
            }
            if (begun.size() < kMaxLineBytes) {
                begun.append(piece.data(),
                             std::min(qsizetype(piece.size()), kMaxLineBytes - begun.size()));
            }
            if (end == std::string_view::npos) {
                break;
            }
            lineOf(std::string_view(begun.constData(), std::size_t(begun.size())));
            begun.clear();
            rest.remove_prefix(end + 1);
        }
    }
    if (!begun.isEmpty()) {
        lineOf(std::string_view(begun.constData(), std::size_t(begun.size())));
    }
}

// Parsed lines on their way from the second thread, as numbers and time bytes. No field reads
// as NaN, so NaN stands for a missing one.
struct Batch {
    std::string times;
    std::vector<std::uint32_t> timeEnds;
    std::vector<double> timeValues;
    std::vector<double> values; // the line's columns one after another
};

void addLine(Batch& batch, const GraphFileLine& line) {
    batch.times += line.time;
    batch.timeEnds.push_back(std::uint32_t(batch.times.size()));
    batch.timeValues.push_back(line.timeValue.value_or(std::nan("")));
    for (const std::optional<double>& value : line.values) {
        batch.values.push_back(value.value_or(std::nan("")));
    }
}

void giveLines(const Batch& batch, GraphFileLine& line,
               const std::function<void(const GraphFileLine&)>& onLine) {
    const auto present = [](double value) {
        return std::isnan(value) ? std::nullopt : std::optional<double>(value);
    };
    const std::size_t columns = line.values.size();
    std::uint32_t begin = 0;
    for (std::size_t i = 0; i < batch.timeEnds.size(); ++i) {
        line.time = std::string_view(batch.times).substr(begin, batch.timeEnds[i] - begin);
        begin = batch.timeEnds[i];
        line.timeValue = present(batch.timeValues[i]);
        for (std::size_t column = 0; column < columns; ++column) {
            line.values[column] = present(batch.values[i * columns + column]);
        }
        onLine(line);
    }
}

// Batches handed from the parsing thread to the caller in order.
class BatchQueue {
public:
    // Waits while the caller is kBatchesAhead behind; drops the batch once it has stopped.
    void put(Batch batch) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return ready_.size() < kBatchesAhead || stopped_; });
        if (!stopped_) {
            ready_.push_back(std::move(batch));
        }
        changed_.notify_all();
    }
    void finish() {
        const std::lock_guard lock(mutex_);
        finished_ = true;
        changed_.notify_all();
    }
    // The caller takes no more: the parser runs on to the end without waiting.
    void stop() {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
        changed_.notify_all();
    }
    // False once all are taken.
    bool take(Batch& batch) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !ready_.empty() || finished_; });
        if (ready_.empty()) {
            return false;
        }
        batch = std::move(ready_.front());
        ready_.pop_front();
        changed_.notify_all();
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Batch> ready_;
    bool finished_ = false;
    bool stopped_ = false;
};

// False, having read nothing, when no thread is to be had.
bool readOnSecondThread(QIODevice& device, char separator, GraphFileLine& line,
                        const std::function<void(const GraphFileLine&)>& onLine) {
    BatchQueue queue;
    const std::size_t columns = line.values.size();
    std::thread parser;
    try {
        parser = std::thread([&device, &queue, separator, columns] {
            GraphFileLine parsed;
            parsed.values.resize(columns);
            std::string time;
            Batch batch;
            splitLines(device, [&](std::string_view bytes) {
                parseLine(bytes, separator, parsed, time);
                addLine(batch, parsed);
                if (batch.timeEnds.size() == kLinesABatch) {
                    queue.put(std::exchange(batch, {}));
                }
            });
            queue.put(std::move(batch));
            queue.finish();
        });
    } catch (const std::system_error&) {
        return false;
    }
    // Also when onLine throws: the parser must not wait for a caller that has gone.
    struct Join {
        BatchQueue& queue;
        std::thread& parser;
        ~Join() {
            queue.stop();
            parser.join();
        }
    } join{queue, parser};
    Batch batch;
    while (queue.take(batch)) {
        giveLines(batch, line, onLine);
    }
    return true;
}

} // namespace

void readGraphFile(QIODevice& device, int valueColumns,
                   const std::function<void(const GraphFileLine&)>& onLine) {
    GraphFileLine parsed; // one for all lines, so that a line allocates nothing
    parsed.values.resize(std::size_t(std::max(valueColumns, 0)));
    // Asked once: until it is set, the separator is the system locale's, costly to ask for.
    const char separator = settings::decimalSeparator() == u',' ? ',' : '.';
    if (!device.isSequential() && device.size() - device.pos() >= kBytesWorthASecondThread &&
        std::thread::hardware_concurrency() > 1 &&
        readOnSecondThread(device, separator, parsed, onLine)) {
        return;
    }
    std::string time;
    splitLines(device, [&](std::string_view bytes) {
        parseLine(bytes, separator, parsed, time);
        onLine(parsed);
    });
}

} // namespace zorvan::graphs
