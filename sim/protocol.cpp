#include "sim/protocol.h"

#include <algorithm>
#include <array>

namespace zorvan::sim {

namespace {

constexpr std::uint8_t kReflectedPolynomial = 0x8C; // x^8 + x^5 + x^4 + 1, bit-reversed
constexpr std::uint8_t kChecksumPreset = 0x0F;

// The register after shifting one byte through it, for every byte value.
constexpr std::array<std::uint8_t, 256> checksumTable() {
    std::array<std::uint8_t, 256> table{};
    for (unsigned value = 0; value < table.size(); ++value) {
        unsigned reg = value;
        for (int bit = 0; bit < 8; ++bit) {
            reg = (reg >> 1) ^ ((reg & 1u) != 0 ? kReflectedPolynomial : 0u);
        }
        table[value] = static_cast<std::uint8_t>(reg);
    }
    return table;
}

constexpr auto kChecksumTable = checksumTable();

constexpr std::int32_t kSigned24Max = (1 << 23) - 1;
constexpr std::int32_t kSigned24Min = -(1 << 23);

constexpr std::uint8_t kDataReadBits = 0x80;
constexpr std::uint8_t kRegisterReadBits = 0xC0;

struct ReadCommand {
    std::uint8_t modeBits;
    std::uint8_t code;
    std::size_t count;
};

constexpr ReadCommand kReads[] = {
    {kDataReadBits, kPanelCode, 7},           {kDataReadBits, kVersionCode, 4},
    {kDataReadBits, kHumiditySampleCode, 11}, {kDataReadBits, kSampleCode, 3},
    {kDataReadBits, kFlashReadinessCode, 1},  {kDataReadBits, kPageResultCode, 1},
    {kRegisterReadBits, kLargeSampleCode, 3}, {kRegisterReadBits, kSetValueLowCode, 2},
    {kRegisterReadBits, kDecimalsCode, 1},    {kRegisterReadBits, kDecimalsCodeLarge, 1},
};

// Which segments light for each character: bit 0 top, 1 upper left, 2 upper right, 3 middle,
// 4 lower right, 6 bottom, 7 lower left.
struct Glyph {
    char character;
    std::uint8_t segments;
};

constexpr Glyph kGlyphs[] = {
    {' ', 0x00}, {'-', 0x08}, {'V', 0x0E}, {'1', 0x14}, {'7', 0x15}, {'4', 0x1E}, {'q', 0x1F},
    {'_', 0x40}, {'S', 0x53}, {'5', 0x5B}, {'3', 0x5D}, {'Y', 0x5E}, {'9', 0x5F}, {'I', 0x82},
    {'r', 0x88}, {'F', 0x8B}, {'K', 0x8E}, {'P', 0x8F}, {'M', 0x97}, {'n', 0x98}, {'h', 0x9A},
    {'X', 0x9E}, {'A', 0x9F}, {'L', 0xC2}, {'C', 0xC3}, {'Z', 0xC5}, {'t', 0xCA}, {'E', 0xCB},
    {'2', 0xCD}, {'u', 0xD0}, {'G', 0xD3}, {'J', 0xD4}, {'W', 0xD6}, {'0', 0xD7}, {'o', 0xD8},
    {'b', 0xDA}, {'6', 0xDB}, {'d', 0xDC}, {'8', 0xDF},
};

} // namespace

std::uint8_t frameChecksum(const std::uint8_t* bytes, std::size_t length) {
    std::uint8_t reg = kChecksumPreset;
    for (std::size_t i = 0; i < length; ++i) {
        reg = kChecksumTable[static_cast<std::uint8_t>(reg ^ bytes[i])];
    }
    return reg;
}

void appendSigned24(std::vector<std::uint8_t>& data, std::int32_t value) {
    // Two's complement keeps the sign in bit 23, so the low three bytes are the whole value.
    const auto raw = static_cast<std::uint32_t>(std::clamp(value, kSigned24Min, kSigned24Max));
    for (int shift = 0; shift < 24; shift += 8) {
        data.push_back(static_cast<std::uint8_t>((raw >> shift) & 0xFFu));
    }
}

std::optional<std::size_t> dataCountOf(std::uint8_t modeBits, std::uint8_t code) {
    for (const ReadCommand& read : kReads) {
        if (read.modeBits == modeBits && read.code == code) {
            return read.count;
        }
    }
    return std::nullopt;
}

std::optional<std::uint8_t> segmentsOf(char character) {
    for (const Glyph& glyph : kGlyphs) {
        if (glyph.character == character) {
            return glyph.segments;
        }
    }
    return std::nullopt;
}

} // namespace zorvan::sim
