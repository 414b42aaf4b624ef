// Any bytes as a graph data file: reading must end, keep every line within its bound, and give
// a line for every line end; a file written from what was read must read back the same values.
#include "graphs/graph_file.h"
#include "graphs/point_label.h"

#include <QBuffer>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace zorvan::graphs;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    std::vector<double> values;
    qsizetype lines = 0;
    readGraphFile(buffer, 2, [&](const GraphFileLine& line) {
        ++lines;
        if (qsizetype(line.time.size()) > kMaxLineBytes || line.values.size() != 2) {
            std::abort();
        }
        if (line.values[0] && std::isfinite(*line.values[0]) && std::abs(*line.values[0]) < 1e12) {
            values.push_back(*line.values[0]);
        }
    });
    if (lines < bytes.count('\n')) {
        std::abort();
    }

    const QByteArray written =
        buildGraphFile(static_cast<qsizetype>(values.size()),
                       [](qsizetype i, std::string& scratch) {
                           return savedTimeField({}, double(i), false, 3, scratch);
                       },
                       2, {{[&](qsizetype i) { return values[static_cast<std::size_t>(i)]; }, 3}});
    QByteArray copy = written;
    QBuffer again(&copy);
    again.open(QIODevice::ReadOnly);
    std::size_t index = 0;
    readGraphFile(again, 1, [&](const GraphFileLine& line) {
        const double expected = values[index++];
        if (!line.values[0] ||
            std::abs(*line.values[0] - expected) > 0.0005 + 1e-12 * std::abs(expected)) {
            std::abort();
        }
    });
    if (index != values.size()) {
        std::abort();
    }
    return 0;
}
