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
#include <charconv>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <tuple>

namespace zorvan::graphs {
namespace {

std::vector<GraphFileLine> readAll(QByteArray bytes, int columns) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    std::vector<GraphFileLine> lines;
    readGraphFile(buffer, columns, [&](const GraphFileLine& line) { lines.push_back(line); });
    return lines;
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
        buildGraphFile(2, [](qsizetype i) { return secondsLabel(i * 12.5, 3); }, 2,
                       {{[&](qsizetype i) { return values[static_cast<std::size_t>(i)]; }, 2}});
    EXPECT_EQ(text, "  0.000\t        1.50\r\n 12.500\t      -20.25\r\n");
}

TEST_F(GraphFile, ALongFileMadeInHalvesHasEveryLineInOrder) {
    settings::setDecimalSeparator(QLatin1Char(','));
    const qsizetype points = 50'001;
    const auto label = [](qsizetype i) { return minutesLabel(double(i)); };
    const auto value = [](qsizetype i) { return i * 0.5; };
    QByteArray expected;
    for (qsizetype i = 0; i < points; ++i) {
        const GraphFileValue values[] = {{value(i), 1}};
        appendGraphFileLine(expected, label(i), 4, label(0).size() - 1, values, ',');
    }
    EXPECT_EQ(buildGraphFile(points, label, 4, {{value, 1}}), expected);
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
            static_cast<qsizetype>(values.size()), [](qsizetype) { return QStringLiteral(" c "); },
            2, {{[&](qsizetype i) { return values[static_cast<std::size_t>(i)]; }, decimals}});
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

// Loaded points are labelled with their file's time field, so saving them writes it back as it
// was: no "007.5" turned into "7.5", no minutes rounded again.
TEST_F(GraphFile, ALoadThenASaveReproducesTheTimeFields) {
    settings::setDecimalSeparator(QLatin1Char('.'));
    for (const auto& [file, inMinutes, unitLength] :
         {std::tuple{QByteArray("  007.5\t        1.50\r\n 12.500\t      -20.25\r\n"), false, 2},
          std::tuple{QByteArray("    0.004\t       99.00\r\n1440.0051\t        0.25\r\n"), true,
                     4}}) {
        std::vector<QString> labels;
        std::vector<double> values;
        for (const GraphFileLine& line : readAll(file, 1)) {
            labels.push_back(labelOfTimeField(line.time, inMinutes));
            values.push_back(*line.values[0]);
        }
        const auto at = [](qsizetype i) { return static_cast<std::size_t>(i); };
        EXPECT_EQ(buildGraphFile(2, [&](qsizetype i) { return labels[at(i)]; }, unitLength,
                                 {{[&](qsizetype i) { return values[at(i)]; }, 2}}),
                  file);
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
    EXPECT_LE(lines[0].time.size() + 0, kMaxLineBytes);
    EXPECT_EQ(lines[1].values[0], 4.0);
}

TEST_F(GraphFile, AFailedReplaceLeavesTheOldFileWholeAndTheBackupKeepsThePrevious) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("_graph.txt"));
    ASSERT_TRUE(writeWholeKeepingBackup(path, "first").isEmpty());
    ASSERT_TRUE(writeWholeKeepingBackup(path, "second").isEmpty());
    ASSERT_TRUE(writeWholeKeepingBackup(path, "third").isEmpty());
    EXPECT_EQ(contentOf(path), "third");
    EXPECT_EQ(contentOf(path + ".bak"), "second");

    // The new text cannot be put in place (a folder stands where it goes; permissions would
    // not stop root): the save says why and both files stay as they were.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("_graph.txt.new")));
    EXPECT_FALSE(writeWholeKeepingBackup(path, "lost").isEmpty());
    EXPECT_EQ(contentOf(path), "third");
    EXPECT_EQ(contentOf(path + ".bak"), "second");
    EXPECT_FALSE(writeWhole(folder.filePath(QStringLiteral("no/such/folder.txt")), "x").isEmpty());
}

} // namespace
} // namespace zorvan::graphs
