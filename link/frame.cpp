#include "link/frame.h"

namespace zorvan::link {

std::uint8_t FrameChecksum(const std::uint8_t* bytes, std::size_t length) {
    std::uint8_t crc = 0x0F;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<std::uint8_t>((crc >> 1) ^ 0x8C)
                            : static_cast<std::uint8_t>(crc >> 1);
        }
    }
    return crc;
}

std::int32_t decodeSigned24(const std::uint8_t* bytes) {
    const std::uint32_t high = (bytes[2] & 0x80) ? 0xFFu : 0x00u;
    const std::uint32_t raw = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (high << 24);
    return static_cast<std::int32_t>(raw);
}

void encodeSigned24(std::int32_t value, std::uint8_t* bytes) {
    const auto raw = static_cast<std::uint32_t>(value);
    bytes[0] = static_cast<std::uint8_t>(raw);
    bytes[1] = static_cast<std::uint8_t>(raw >> 8);
    bytes[2] = static_cast<std::uint8_t>(raw >> 16);
}

} // namespace zorvan::link
