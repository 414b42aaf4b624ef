#include "sim/answer.h"

#include "sim/protocol.h"

#include <algorithm>

namespace zorvan::sim {

std::vector<std::uint8_t> acknowledgement(const Request& request) {
    return {request.address(), request.checksum()};
}

std::vector<std::uint8_t> dataAnswer(const Request& request,
                                     const std::vector<std::uint8_t>& data) {
    // Sized once up front: growing a two-byte vector trips a false bounds warning of GCC 12.
    std::vector<std::uint8_t> answer(data.size() + 2);
    answer[0] = request.address();
    answer[1] = request.code();
    std::copy(data.begin(), data.end(), answer.begin() + 2);
    answer.push_back(frameChecksum(answer.data(), answer.size()));
    return answer;
}

bool closedByNoise(const std::vector<std::uint8_t>& answer,
                   const std::vector<std::uint8_t>& noise) {
    if (noise.empty()) {
        return false;
    }
    std::vector<std::uint8_t> line(answer);
    line.insert(line.end(), noise.begin(), noise.end());
    const std::uint8_t* closing = line.data() + line.size() - answer.size();
    return frameChecksum(closing, answer.size() - 1) == closing[answer.size() - 1];
}

} // namespace zorvan::sim
