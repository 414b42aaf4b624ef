#pragma once

// Telnet as the carrier of a serial line: the line's bytes with 0xFF doubled, and between them the
// option negotiations and sub-negotiations of the two ends.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zorvan::link::telnet {

inline constexpr std::uint8_t kIac = 255;
inline constexpr std::uint8_t kDont = 254;
inline constexpr std::uint8_t kDo = 253;
inline constexpr std::uint8_t kWont = 252;
inline constexpr std::uint8_t kWill = 251;
inline constexpr std::uint8_t kSb = 250;
inline constexpr std::uint8_t kSe = 240;

inline constexpr std::uint8_t kBinary = 0;
inline constexpr std::uint8_t kSuppressGoAhead = 3;
inline constexpr std::uint8_t kComPortOption = 44;

struct Command {
    std::uint8_t verb = 0; // kWill, kWont, kDo, kDont, or kSb
    std::uint8_t option = 0;
    std::vector<std::uint8_t> payload; // a sub-negotiation's bytes after the option, undoubled
    bool operator==(const Command&) const = default;
};

// Splits what the other end sends into line bytes and commands. It takes a byte at a time, so a
// command split across reads comes out whole once its last byte is in.
class Decoder {
public:
    void feed(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& data,
              std::vector<Command>& commands);

private:
    enum class State { Data, Iac, Option, SubOption, Sub, SubIac };

    void afterIac(std::uint8_t byte, std::vector<std::uint8_t>& data);
    void keepInPayload(std::uint8_t byte);

    State state_ = State::Data;
    Command pending_;
    bool overlong_ = false;
};

// The line's bytes as sent, each 0xFF doubled.
void appendEscaped(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes);
void appendNegotiation(std::vector<std::uint8_t>& out, std::uint8_t verb, std::uint8_t option);
void appendSubnegotiation(std::vector<std::uint8_t>& out, std::uint8_t option,
                          std::span<const std::uint8_t> payload);

} // namespace zorvan::link::telnet
