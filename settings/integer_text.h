#pragma once

#include <QStringView>
#include <cstdint>
#include <optional>

namespace zorvan::settings {

// An integer value of the settings file: decimal digits with an optional leading '-', or,
// when longer than two characters, "0x"/"0X" and up to eight hexadecimal digits (taken as
// 32 bits, so 0xFFFFFFFF is -1). Anything else, an out-of-range number included, is nullopt.
std::optional<std::int32_t> parseInteger(QStringView text);

} // namespace zorvan::settings
