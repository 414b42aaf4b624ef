#pragma once

// The checks an answer must pass before its bytes are believed; pure, so they are fuzzed.

#include <array>
#include <cstddef>
#include <cstdint>

namespace zorvan::link {

using Request = std::array<std::uint8_t, 4>;

// Address (with its mode bits), code, parameter, checksum.
Request buildRequest(std::uint8_t address, std::uint8_t code, std::uint8_t parameter);

// An acknowledgement repeats the request's checksum in its second byte.
bool acknowledgementValid(const std::uint8_t* answer, std::size_t received,
                          std::uint8_t requestChecksum);

// A data answer of n data bytes is 2 header bytes, the data and a checksum over all before it.
bool dataAnswerValid(const std::uint8_t* answer, std::size_t received, std::uint32_t n);

// `line` holds a data answer that passed its check, then `following` bytes that came straight
// after it. An answer behind garbage reads as the garbage and its own head, whose checksum
// matches one time in 256; its tail then follows at once, closing a whole answer, where a real
// answer ends in silence. Bytes after it that do not close an answer are only noise.
bool answerClosedBehind(const std::uint8_t* line, std::size_t following, std::uint32_t n);

// A block acknowledgement passes when its last byte is the request's checksum.
bool blockAcknowledgementValid(const std::uint8_t* answer, std::size_t received,
                               std::uint8_t requestChecksum);

// A listened exchange is the other master's request followed by the answer. On success the
// answer is moved to the start of the buffer.
bool takeListenedAnswer(std::uint8_t* buffer, std::size_t received, const Request& expected,
                        std::uint32_t n);

} // namespace zorvan::link
