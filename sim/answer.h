#pragma once

// The two shapes an instrument answers in. The master checks only the checksum bytes, so the
// header carries the instrument's address and the command code, as a reader of a line trace
// would want.

#include "sim/request.h"

#include <cstdint>
#include <vector>

namespace zorvan::sim {

// 2 bytes: the address, then the checksum byte of the request being acknowledged.
std::vector<std::uint8_t> acknowledgement(const Request& request);

// N + 3 bytes: address, code, the N data bytes, checksum over everything before it.
std::vector<std::uint8_t> dataAnswer(const Request& request, const std::vector<std::uint8_t>& data);

// Whether the noise sent behind a data answer makes, with the answer's last bytes, another whole
// answer of its length.
bool closedByNoise(const std::vector<std::uint8_t>& answer, const std::vector<std::uint8_t>& noise);

} // namespace zorvan::sim
