#include "link/answer_check.h"

#include "link/frame.h"

#include <algorithm>

namespace zorvan::link {

Request buildRequest(std::uint8_t address, std::uint8_t code, std::uint8_t parameter) {
    Request request{address, code, parameter, 0};
    request[3] = FrameChecksum(request.data(), 3);
    return request;
}

bool acknowledgementValid(const std::uint8_t* answer, std::size_t received,
                          std::uint8_t requestChecksum) {
    return received >= 2 && answer[1] == requestChecksum;
}

bool dataAnswerValid(const std::uint8_t* answer, std::size_t received, std::uint32_t n) {
    const std::size_t size = std::size_t{n} + 3;
    return received == size && FrameChecksum(answer, size - 1) == answer[size - 1];
}

bool answerClosedBehind(const std::uint8_t* line, std::size_t following, std::uint32_t n) {
    const std::size_t size = std::size_t{n} + 3;
    return following > 0 && dataAnswerValid(line + following, size, n);
}

bool blockAcknowledgementValid(const std::uint8_t* answer, std::size_t received,
                               std::uint8_t requestChecksum) {
    return received >= 1 && answer[received - 1] == requestChecksum;
}

bool takeListenedAnswer(std::uint8_t* buffer, std::size_t received, const Request& expected,
                        std::uint32_t n) {
    if (received != std::size_t{n} + 7 || !std::equal(expected.begin(), expected.end(), buffer)) {
        return false;
    }
    std::copy(buffer + 4, buffer + received, buffer);
    return dataAnswerValid(buffer, std::size_t{n} + 3, n);
}

} // namespace zorvan::link
