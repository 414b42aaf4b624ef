#include "sim/frame_parser.h"

#include "sim/protocol.h"

namespace zorvan::sim {

std::vector<Request> FrameParser::push(const std::uint8_t* bytes, std::size_t count,
                                       Clock::time_point arrivedAt) {
    if (count == 0) {
        return {};
    }
    if (!buffer_.empty() && arrivedAt - lastByteAt_ > frameGap_) {
        buffer_.clear();
        arrivals_.clear();
    }
    lastByteAt_ = arrivedAt;
    buffer_.insert(buffer_.end(), bytes, bytes + count);
    arrivals_.insert(arrivals_.end(), count, arrivedAt);

    std::vector<Request> requests;
    std::size_t start = 0;
    while (buffer_.size() - start >= 3) {
        const std::uint8_t* frame = buffer_.data() + start;
        const std::size_t length = frameLength(frame[0], frame[1], frame[2]);
        if (buffer_.size() - start < length) {
            break;
        }
        if (frameChecksum(frame, length - 1) == frame[length - 1]) {
            requests.push_back(Request{{frame, frame + length}, arrivals_[start]});
            start += length;
        } else {
            ++start;
        }
    }
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start));
    arrivals_.erase(arrivals_.begin(), arrivals_.begin() + static_cast<std::ptrdiff_t>(start));
    return requests;
}

} // namespace zorvan::sim
