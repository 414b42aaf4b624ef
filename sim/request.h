#pragma once

// One request frame as an instrument sees it on the line: the address byte with its mode bits,
// the command code, the parameter (N - 1 for reads and blocks), block data, and the checksum.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zorvan::sim {

using Clock = std::chrono::steady_clock;

// Mode bits that the master ORs into the address byte; instruments therefore sit below 64.
constexpr std::uint8_t kModeMask = 0xC0;
constexpr std::uint8_t kControlMode = 0x00;      // commands 251..255
constexpr std::uint8_t kDataReadMode = 0x80;     // data reads
constexpr std::uint8_t kRegisterReadMode = 0xC0; // reads of codes 0, 5, 6 and 31
constexpr std::uint8_t kWriteMode = 0x40;        // writes of codes 5 and 6, FLASH pieces
constexpr std::uint8_t kAddressMask = 0x3F;

constexpr std::size_t kRequestSize = 4;

struct Request {
    std::vector<std::uint8_t> bytes; // the whole frame, checksum included
    Clock::time_point startedAt{};   // when its first byte arrived

    std::uint8_t mode() const { return bytes[0] & kModeMask; }
    std::uint8_t address() const { return bytes[0] & kAddressMask; }
    std::uint8_t code() const { return bytes[1]; }
    std::uint8_t parameter() const { return bytes[2]; }
    std::uint8_t checksum() const { return bytes.back(); }
    // Data bytes of a block request; none for a 4-byte request.
    const std::uint8_t* data() const { return bytes.data() + 3; }
    std::size_t dataCount() const { return bytes.size() - kRequestSize; }
};

// Length of the frame that starts with these three bytes. The line has no length field for
// blocks, so the length follows from the command: with the write mode a FLASH piece has a code
// that is its offset in the page (a multiple of 16) and N = parameter + 1 of 16 or 128; the
// control codes 255 and 251 carry one data byte when their parameter is 0 (the end of a page's
// pieces); everything else is 4 bytes. Keeping the block shapes this narrow lets the parser
// resynchronise quickly after a damaged frame.
std::size_t frameLength(std::uint8_t addressByte, std::uint8_t code, std::uint8_t parameter);

// A 4-byte request with its checksum, as a master builds it.
std::vector<std::uint8_t> buildRequest(std::uint8_t addressByte, std::uint8_t code,
                                       std::uint8_t parameter);

} // namespace zorvan::sim
