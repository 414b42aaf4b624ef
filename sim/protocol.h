#pragma once

// The line as an instrument's firmware sees it, written from the protocol and kept apart from
// the master's code: the frame checksum, the 24-bit values, the command table with the data
// count each read must ask for, and the segment patterns of the indicator. A wrong entry on
// either side of the wire then shows as a failed exchange instead of being copied to both.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zorvan::sim {

// CRC-8, reflected polynomial x^8 + x^5 + x^4 + 1, register preset to 0x0F, no final XOR.
std::uint8_t frameChecksum(const std::uint8_t* bytes, std::size_t length);

// Signed 24-bit little-endian; values outside the range are clamped, as an instrument's
// converter saturates.
void appendSigned24(std::vector<std::uint8_t>& data, std::int32_t value);

// Data reads (address bits 0x80).
constexpr std::uint8_t kPanelCode = 47;
constexpr std::uint8_t kVersionCode = 236;
constexpr std::uint8_t kHumiditySampleCode = 149;
constexpr std::uint8_t kSampleCode = 152;
constexpr std::uint8_t kFlashReadinessCode = 237;
constexpr std::uint8_t kPageResultCode = 255;

// Register reads (0xC0) and writes (0x40).
constexpr std::uint8_t kLargeSampleCode = 0;
constexpr std::uint8_t kSetValueLowCode = 5;
constexpr std::uint8_t kSetValueHighCode = 6;
constexpr std::uint8_t kDecimalsCode = 6;
constexpr std::uint8_t kDecimalsCodeLarge = 31;

// Control commands (no address bits) and their parameters.
constexpr std::uint8_t kBufferCodeSmall = 251;
constexpr std::uint8_t kDigitalOutCode = 252;
constexpr std::uint8_t kKeyCode = 253;
constexpr std::uint8_t kModeCode = 254;
constexpr std::uint8_t kServiceCode = 255;

constexpr std::uint8_t kOutputOn = 129;
constexpr std::uint8_t kOutputOff = 128;
constexpr std::uint8_t kOutputReleased = 0;
constexpr std::uint8_t kOpenBufferSmall = 1;
constexpr std::uint8_t kCloseBufferSmall = 0;
constexpr std::uint8_t kCloseBufferLarge = 250;
constexpr std::uint8_t kOpenBufferLarge = 251;
constexpr std::uint8_t kPrepareFlash = 3;
constexpr std::uint8_t kRestart = 1;
constexpr std::uint8_t kBurnPage = 5;
constexpr std::uint8_t kKeyReleased = 12;
constexpr std::uint8_t kLockKeyboard = 16;
constexpr std::uint8_t kUnlockKeyboard = 17;
constexpr std::uint8_t kApplySetValue = 100;

// The number of data bytes N a read of this code with these address bits answers with;
// nothing for a code the instrument does not read out.
std::optional<std::size_t> dataCountOf(std::uint8_t modeBits, std::uint8_t code);

// Indicator code of one character (decimal point bit clear); nothing for a character the
// seven segments cannot show.
constexpr std::uint8_t kPointSegment = 0x20;
std::optional<std::uint8_t> segmentsOf(char character);

} // namespace zorvan::sim
