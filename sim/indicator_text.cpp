#include "sim/indicator_text.h"

#include "sim/protocol.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace zorvan::sim {

IndicatorCodes indicatorCodesFor(double value, int decimals, char label) {
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0.0) {
        rounded = 0.0; // no "-0.00"
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, rounded);

    std::vector<std::uint8_t> digits;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '.') {
            if (!digits.empty()) {
                digits.back() |= kPointSegment;
            }
        } else {
            digits.push_back(segmentsOf(*c).value_or(0));
        }
    }

    IndicatorCodes codes{};
    const std::size_t first = label != 0 ? 1 : 0;
    if (digits.size() > kIndicatorPositions - first) {
        codes.fill(*segmentsOf('-'));
        return codes;
    }
    if (label != 0) {
        codes[0] = segmentsOf(label).value_or(0);
    }
    std::copy(digits.begin(), digits.end(),
              codes.end() - static_cast<std::ptrdiff_t>(digits.size()));
    return codes;
}

} // namespace zorvan::sim
