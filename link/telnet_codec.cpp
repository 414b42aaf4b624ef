#include "link/telnet_codec.h"

namespace zorvan::link::telnet {
namespace {

// Longer than any sub-negotiation this client reads; the bytes past it are dropped.
constexpr std::size_t kLongestPayload = 64;

bool isNegotiation(std::uint8_t verb) {
    return verb == kWill || verb == kWont || verb == kDo || verb == kDont;
}

} // namespace

void Decoder::feed(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& data,
                   std::vector<Command>& commands) {
    for (const std::uint8_t byte : bytes) {
        switch (state_) {
        case State::Data:
            if (byte == kIac) {
                state_ = State::Iac;
            } else {
                data.push_back(byte);
            }
            break;
        case State::Iac:
            afterIac(byte, data);
            break;
        case State::Option:
            pending_.option = byte;
            commands.push_back(pending_);
            state_ = State::Data;
            break;
        case State::SubOption:
            pending_.option = byte;
            pending_.payload.clear();
            overlong_ = false;
            state_ = State::Sub;
            break;
        case State::Sub:
            if (byte == kIac) {
                state_ = State::SubIac;
            } else {
                keepInPayload(byte);
            }
            break;
        case State::SubIac:
            if (byte == kSe) {
                if (!overlong_) {
                    commands.push_back(pending_);
                }
                state_ = State::Data;
            } else if (byte == kIac) {
                keepInPayload(kIac);
                state_ = State::Sub;
            } else {
                // The sub-negotiation lost its end: the byte starts a command of its own.
                afterIac(byte, data);
            }
            break;
        }
    }
}

void Decoder::keepInPayload(std::uint8_t byte) {
    if (pending_.payload.size() < kLongestPayload) {
        pending_.payload.push_back(byte);
    } else {
        overlong_ = true;
    }
}

void Decoder::afterIac(std::uint8_t byte, std::vector<std::uint8_t>& data) {
    if (byte == kIac) {
        data.push_back(kIac);
        state_ = State::Data;
    } else if (isNegotiation(byte)) {
        pending_ = {byte, 0, {}};
        state_ = State::Option;
    } else if (byte == kSb) {
        pending_ = {kSb, 0, {}};
        state_ = State::SubOption;
    } else {
        // NOP, go-ahead, break and the like carry nothing for a serial line.
        state_ = State::Data;
    }
}

void appendEscaped(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) {
        out.push_back(byte);
        if (byte == kIac) {
            out.push_back(kIac);
        }
    }
}

void appendNegotiation(std::vector<std::uint8_t>& out, std::uint8_t verb, std::uint8_t option) {
    out.insert(out.end(), {kIac, verb, option});
}

void appendSubnegotiation(std::vector<std::uint8_t>& out, std::uint8_t option,
                          std::span<const std::uint8_t> payload) {
    out.insert(out.end(), {kIac, kSb, option});
    appendEscaped(out, payload);
    out.insert(out.end(), {kIac, kSe});
}

} // namespace zorvan::link::telnet
