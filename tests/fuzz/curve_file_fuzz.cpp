// Any bytes as a frequency-response curve file: reading must not fail, every point taken must be
// a possible measurement, and what is written from the points must read back as many points.
#include "graphs/curve_file.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

using zorvan::graphs::CurvePoint;

namespace {

bool possible(double value) {
    return std::isfinite(value) && std::abs(value) <= zorvan::graphs::kLargestCurveValue;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto points = zorvan::graphs::readCurveFile(bytes);
    if (!points) {
        return 0;
    }
    for (const CurvePoint& point : *points) {
        if (!possible(point.volts) || !possible(point.percent)) {
            std::abort();
        }
    }
    const auto again = zorvan::graphs::readCurveFile(zorvan::graphs::curveFileBytes(*points));
    if (!again || again->size() != points->size()) {
        std::abort();
    }
    return 0;
}
