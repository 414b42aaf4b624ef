#pragma once

#include <cstddef>
#include <cstdint>

namespace zorvan::link {

// CRC-8 of the reflected 1-Wire polynomial with the register preset to 0x0F; it ends every
// request and answer on the line.
std::uint8_t FrameChecksum(const std::uint8_t* bytes, std::size_t length);

// Measured values travel as signed 24-bit little-endian numbers.
std::int32_t decodeSigned24(const std::uint8_t* bytes);
void encodeSigned24(std::int32_t value, std::uint8_t* bytes);

} // namespace zorvan::link
