#pragma once

// Builds master frames and passes them through a bus, for the simulator's unit tests.

#include "sim/bus.h"
#include "sim/protocol.h"

#include <optional>
#include <vector>

namespace zorvan::sim::testing {

inline std::vector<std::uint8_t> frame(std::uint8_t addressByte, std::uint8_t code,
                                       std::uint8_t parameter) {
    return buildRequest(addressByte, code, parameter);
}

inline std::vector<std::uint8_t> blockFrame(std::uint8_t addressByte, std::uint8_t code,
                                            const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> bytes{addressByte, code, static_cast<std::uint8_t>(data.size() - 1)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    bytes.push_back(frameChecksum(bytes.data(), bytes.size()));
    return bytes;
}

// The one reply a frame brings, or nothing.
inline std::optional<Reply> send(Bus& bus, const std::vector<std::uint8_t>& bytes) {
    auto replies = bus.receive(bytes.data(), bytes.size(), Clock::now());
    if (replies.empty()) {
        return std::nullopt;
    }
    return replies.front();
}

// The data bytes of a data answer to a read of N bytes; empty when the answer is missing,
// has the wrong length or a wrong checksum.
inline std::vector<std::uint8_t> readData(Bus& bus, std::uint8_t addressByte, std::uint8_t code,
                                          std::size_t count) {
    const auto reply = send(bus, frame(addressByte, code, static_cast<std::uint8_t>(count - 1)));
    if (!reply || reply->bytes.size() != count + 3 ||
        frameChecksum(reply->bytes.data(), count + 2) != reply->bytes.back()) {
        return {};
    }
    return {reply->bytes.begin() + 2, reply->bytes.end() - 1};
}

// True when the control command is acknowledged in the 2-byte shape.
inline bool command(Bus& bus, std::uint8_t addressByte, std::uint8_t code, std::uint8_t parameter) {
    const auto bytes = frame(addressByte, code, parameter);
    const auto reply = send(bus, bytes);
    return reply && reply->bytes.size() == 2 && reply->bytes[1] == bytes[3];
}

inline bool writeBlock(Bus& bus, std::uint8_t addressByte, std::uint8_t code,
                       const std::vector<std::uint8_t>& data) {
    const auto bytes = blockFrame(addressByte, code, data);
    const auto reply = send(bus, bytes);
    return reply && reply->bytes.size() == 2 && reply->bytes[1] == bytes.back();
}

} // namespace zorvan::sim::testing
