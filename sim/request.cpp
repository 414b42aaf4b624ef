#include "sim/request.h"

#include "sim/protocol.h"

namespace zorvan::sim {

namespace {
constexpr std::uint8_t kSmallPieceParameter = 16 - 1;
constexpr std::uint8_t kLargePieceParameter = 128 - 1;
constexpr std::uint8_t kPieceOffsetStep = 16;
constexpr std::uint8_t kPageEndCodeLarge = 255;
constexpr std::uint8_t kPageEndCodeSmall = 251;
} // namespace

std::size_t frameLength(std::uint8_t addressByte, std::uint8_t code, std::uint8_t parameter) {
    const std::uint8_t mode = addressByte & kModeMask;
    const std::size_t blockLength = kRequestSize + parameter + 1u;
    const bool pieceSize = parameter == kSmallPieceParameter || parameter == kLargePieceParameter;
    if (mode == kWriteMode && pieceSize && code % kPieceOffsetStep == 0) {
        return blockLength;
    }
    if (mode == kControlMode && parameter == 0 &&
        (code == kPageEndCodeLarge || code == kPageEndCodeSmall)) {
        return blockLength;
    }
    return kRequestSize;
}

std::vector<std::uint8_t> buildRequest(std::uint8_t addressByte, std::uint8_t code,
                                       std::uint8_t parameter) {
    std::vector<std::uint8_t> frame{addressByte, code, parameter, 0};
    frame[3] = frameChecksum(frame.data(), 3);
    return frame;
}

} // namespace zorvan::sim
