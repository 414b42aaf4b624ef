#pragma once

// Turns a number into the six indicator codes an instrument shows for it: right-aligned, the
// decimal point lit on the digit before the fraction, an optional letter in the first position.

#include <array>
#include <cstdint>

namespace zorvan::sim {

constexpr std::size_t kIndicatorPositions = 6;
using IndicatorCodes = std::array<std::uint8_t, kIndicatorPositions>;

// A value too wide for the positions shows dashes everywhere, as an overloaded instrument does.
// `label` 0 means no letter.
IndicatorCodes indicatorCodesFor(double value, int decimals, char label = 0);

} // namespace zorvan::sim
