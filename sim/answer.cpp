#include "sim/answer.h"

#include "link/frame.h"

namespace zorvan::sim {

std::vector<std::uint8_t> acknowledgement(const Request& request) {
    return {request.address(), request.checksum()};
}

std::vector<std::uint8_t> dataAnswer(const Request& request,
                                     const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> answer{request.address(), request.code()};
    answer.insert(answer.end(), data.begin(), data.end());
    answer.push_back(link::FrameChecksum(answer.data(), answer.size()));
    return answer;
}

} // namespace zorvan::sim
