// Graph data files: the line layout, reading back with either separator and from junk, and
// replacing a file so that a whole graph is always on disk.
#include "graphs/graph_file.h"
#include "graphs/point_label.h"
#include "graphs/whole_file.h"
#include "settings/number_format.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <tuple>

namespace zorvan::graphs {
namespace {

// A line as read, its time held past the call.
struct ReadLine {
    std::string time;
    std::vector<std::optional<double>> values;
};

std::vector<ReadLine> readAll(QByteArray bytes, int columns) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    std::vector<ReadLine> lines;
    readGraphFile(buffer, columns, [&](const GraphFileLine& line) {
        lines.push_back({std::string(line.time), line.values});
    });
    return lines;
}

// A time field formatted from the time in seconds, as a live point's is.
TimeFieldOf secondsField(std::function<double(qsizetype)> seconds, int decimals) {
    return [=](qsizetype i, std::string& scratch) {
        return savedTimeField({}, seconds(i), false, decimals, scratch);
    };
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

class GraphFile : public ::testing::Test {
protected:
    void TearDown() override { settings::setDecimalSeparator(QLatin1Char('.')); }
};

TEST_F(GraphFile, LinesPadTheTimeToTheFirstLabelAndRightAlignValues) {
    settings::setDecimalSeparator(QLatin1Char('.'));
    const std::vector<double> values{1.5, -20.25};
    const QByteArray text =
        buildGraphFile(2, secondsField([](qsizetype i) { return i * 12.5; }, 3), 2,
                       {{[&](qsizetype i) { return values[static_cast<std::size_t>(i)]; }, 2}});
    EXPECT_EQ(text, "  0.000\t        1.50\r\n 12.500\t      -20.25\r\n");
}

TEST_F(GraphFile, ALongFileMadeInHalvesHasEveryLineInOrder) {
    settings::setDecimalSeparator(QLatin1Char(','));
    const qsizetype points = 50'001;
    const TimeFieldOf minutes = [](qsizetype i, std::string& scratch) {
        return savedTimeField({}, double(i), true, 0, scratch);
    };
    const auto value = [](qsizetype i) { return i * 0.5; };
    QByteArray expected;
    std::string scratch;
    const qsizetype width = qsizetype(minutes(0, scratch).size()) + 4;
    for (qsizetype i = 0; i < points; ++i) {
        const GraphFileValue values[] = {{value(i), 1}};
        appendGraphFileLine(expected, minutes(i, scratch), width, values, ',');
    }
    EXPECT_EQ(buildGraphFile(points, minutes, 4, {{value, 1}}), expected);
}

// Values are written as std::to_chars rounds them, ties and negative zeros included.
TEST_F(GraphFile, ValuesRoundAsTheExactDecimalDoes) {
    settings::setDecimalSeparator(QLatin1Char('.'));
    std::mt19937 random(7);
    std::uniform_real_distribution<double> magnitude(-12.0, 12.0);
    std::vector<double> values{0.125, 2.675, -0.001, -0.0, 0.5, 1e14 + 0.5, 5e-324, 1e300};
    for (int i = 0; i < 20'000; ++i) {
        values.push_back(std::pow(10.0, magnitude(random)) * (i % 2 ? -1 : 1));
        values.push_back(std::round(magnitude(random) * 8000.0) / 8000.0); // exact ties
    }
    for (int decimals : {0, 1, 2, 3, 5, 9}) {
        const QByteArray text = buildGraphFile(
            static_cast<qsizetype>(values.size()),
            [](qsizetype, std::string&) { return std::string_view(); }, 2,
            {{[&](qsizetype i) { return values[static_cast<std::size_t>(i)]; }, decimals}});
        QByteArray expected;
        for (double value : values) {
            char digits[400];
            const char* end = std::to_chars(digits, digits + sizeof digits, value,
                                            std::chars_format::fixed, decimals)
                                  .ptr;
            expected += "  \t" + QByteArray(digits, end - digits).rightJustified(12) + "\r\n";
        }
        EXPECT_EQ(text, expected) << decimals << " decimals";
    }
}

TEST_F(GraphFile, ReadsEitherSeparatorAndGivesEmptyFieldsForMissingOrJunk) {
    settings::setDecimalSeparator(QLatin1Char('.'));
    const auto lines = readAll("  0,500\t  1,25\t 7\r\n\r\n 1.0 junk\n", 2);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0].time, "0.500");
    EXPECT_EQ(lines[0].values[0], 1.25);
    EXPECT_EQ(lines[0].values[1], 7.0);
    EXPECT_EQ(lines[1].time, "") << "an empty line is a line";
    EXPECT_FALSE(lines[1].values[0]);
    EXPECT_FALSE(lines[2].values[0]);
    EXPECT_FALSE(lines[2].values[1]);

    settings::setDecimalSeparator(QLatin1Char(','));
    EXPECT_EQ(readAll(" 2.5\t3.75\n", 1)[0].values[0], 3.75);
}

// Read exactly as from_chars rounds, whether the field takes the short way (at most 15 digits)
// or not: every bit of the double, and the sign of zero.
TEST_F(GraphFile, ValuesReadAsTheExactDecimalRounds) {
    std::mt19937 random(11);
    QByteArray file;
    std::vector<std::string> fields{"-0.00",
                                    "007.50",
                                    "+3",
                                    ".5",
                                    "5.",
                                    "1e3",
                                    "-2.5E-3",
                                    "123456789012345",
                                    "1234567890123456.7"};
    for (int i = 0; i < 5000; ++i) {
        std::string field = i % 3 == 0 ? "-" : "";
        const int digits = 1 + int(random() % 19);
        const int point = int(random() % std::uint32_t(digits + 1));
        for (int d = 0; d < digits; ++d) {
            field += d == point ? (i % 2 ? "," : ".") : "";
            field += char('0' + random() % 10);
        }
        fields.push_back(field);
    }
    for (const std::string& field : fields) {
        file += " 1\t" + QByteArray::fromStdString(field) + "\r\n";
    }
    const auto lines = readAll(file, 1);
    ASSERT_EQ(lines.size(), fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string dotted = fields[i].front() == '+' ? fields[i].substr(1) : fields[i];
        std::replace(dotted.begin(), dotted.end(), ',', '.');
        double expected = 0.0;
        std::from_chars(dotted.data(), dotted.data() + dotted.size(), expected);
        ASSERT_TRUE(lines[i].values[0]) << fields[i];
        EXPECT_EQ(std::bit_cast<std::uint64_t>(*lines[i].values[0]),
                  std::bit_cast<std::uint64_t>(expected))
            << fields[i];
    }
}

// Loaded points are labelled with their file's time field, so saving them writes it back as it
// was: no "007.5" turned into "7.5", no minutes rounded again.
TEST_F(GraphFile, ALoadThenASaveReproducesTheTimeFields) {
    settings::setDecimalSeparator(QLatin1Char('.'));
    for (const auto& [file, inMinutes, unitLength] :
         {std::tuple{QByteArray("  007.5\t        1.50\r\n 12.500\t      -20.25\r\n"), false, 2},
          std::tuple{QByteArray("    0.004\t       99.00\r\n1440.0051\t        0.25\r\n"), true,
                     4}}) {
        std::vector<std::string> labels;
        std::vector<double> values;
        for (const ReadLine& line : readAll(file, 1)) {
            labelOfTimeField(line.time, inMinutes, labels.emplace_back());
            values.push_back(*line.values[0]);
        }
        const auto at = [](qsizetype i) { return static_cast<std::size_t>(i); };
        const TimeFieldOf timeField = [&](qsizetype i, std::string& scratch) {
            return savedTimeField(labels[at(i)], 0.0, inMinutes, 3, scratch);
        };
        EXPECT_EQ(buildGraphFile(2, timeField, unitLength,
                                 {{[&](qsizetype i) { return values[at(i)]; }, 2}}),
                  file);
    }
}

// A long file is parsed ahead on a second thread: its lines still come in order, whole, with
// the long line cut and the junk empty.
TEST_F(GraphFile, ALongFileGivesEveryLineInOrder) {
    settings::setDecimalSeparator(QLatin1Char(','));
    constexpr int kLines = 40'000;
    QByteArray file;
    for (int i = 0; i < kLines; ++i) {
        file += i % 1000 == 7 ? QByteArray(" x\tjunk") + QByteArray(i == 7 ? 9000 : 0, 'y')
                              : " " + QByteArray::number(i) + ".5\t" + QByteArray::number(i * 0.25);
        file += "\r\n";
    }
    ASSERT_GT(file.size(), 256 * 1024);
    const auto lines = readAll(file, 1);
    ASSERT_EQ(lines.size(), std::size_t(kLines));
    for (int i = 0; i < kLines; ++i) {
        const ReadLine& line = lines[std::size_t(i)];
        if (i % 1000 == 7) {
            ASSERT_EQ(line.time, "x") << i;
            ASSERT_FALSE(line.values[0]) << i;
        } else {
            ASSERT_EQ(line.time, std::to_string(i) + ",5") << i;
            ASSERT_EQ(line.values[0], i * 0.25) << i;
        }
    }
}

TEST_F(GraphFile, AMegabyteLineAndBinaryJunkAreReadWithinBounds) {
    QByteArray bytes(" 1\t2\t", 5);
    bytes += QByteArray(3'000'000, 'x');
    bytes += "\n 3\t4\n";
    for (int i = 0; i < 256; ++i) {
        bytes += static_cast<char>(i);
    }
    const auto lines = readAll(bytes, 1);
    ASSERT_EQ(lines.size(), 4U) << "the junk holds one line end";
    EXPECT_EQ(lines[0].values[0], 2.0) << "the beginning of a long line still counts";
    EXPECT_LE(qsizetype(lines[0].time.size()), kMaxLineBytes);
    EXPECT_EQ(lines[1].values[0], 4.0);
}

TEST_F(GraphFile, AFailedReplaceLeavesTheOldFileWhole) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("_graph.txt"));
    ASSERT_TRUE(writeWhole(path, "first").isEmpty());
    ASSERT_TRUE(writeWhole(path, "second").isEmpty());
    EXPECT_EQ(contentOf(path), "second");

    // The new text cannot be put in place (a folder stands where it goes; permissions would
    // not stop root): the save says why and the file stays as it was.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("_graph.txt.new")));
    EXPECT_FALSE(writeWhole(path, "lost").isEmpty());
    EXPECT_EQ(contentOf(path), "second");
    EXPECT_FALSE(writeWhole(folder.filePath(QStringLiteral("no/such/folder.txt")), "x").isEmpty());
}

} // namespace
} // namespace zorvan::graphs
