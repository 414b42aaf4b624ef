// Feeds arbitrary line bytes to every answer check: none may read outside what arrived.
#include "link/answer_check.h"

#include <algorithm>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // The first byte picks the data count, the rest is what the line delivered.
    const std::uint32_t n = data[0] % 16 + 1;
    const std::vector<std::uint8_t> received(data + 1, data + size);
    const auto request =
        zorvan::link::buildRequest(0x80 | 10, 149, static_cast<std::uint8_t>(n - 1));

    std::vector<std::uint8_t> buffer(received);
    buffer.resize(std::max<std::size_t>(buffer.size(), n + 7));
    zorvan::link::dataAnswerValid(buffer.data(), std::min<std::size_t>(received.size(), n + 3), n);
    // Exactly what arrived, so that a read past it is caught.
    zorvan::link::answerClosedBehind(
        received.data(), received.size() - std::min<std::size_t>(received.size(), n + 3), n);
    zorvan::link::acknowledgementValid(buffer.data(), std::min<std::size_t>(received.size(), 2),
                                       request[3]);
    zorvan::link::blockAcknowledgementValid(buffer.data(),
                                            std::min<std::size_t>(received.size(), 2), request[3]);
    zorvan::link::takeListenedAnswer(buffer.data(), std::min<std::size_t>(received.size(), n + 7),
                                     request, n);
    return 0;
}
