#pragma once

// Cuts request frames out of the byte stream from the master. Bytes may arrive in any pieces;
// a frame whose checksum is wrong is dropped one byte at a time, so the parser finds the next
// good frame inside what follows. Like an instrument's receiver, it also forgets a half frame
// when the line has been quiet for longer than the frame gap.

#include "sim/request.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zorvan::sim {

// The master pauses at least 15 ms before every request, far longer than the gap between two
// bytes of one request at any usable baud rate.
constexpr Clock::duration kDefaultFrameGap = std::chrono::milliseconds(10);

class FrameParser {
public:
    // Takes bytes that arrived at `arrivedAt` and returns the good frames they complete, each
    // stamped with the arrival of its first byte.
    std::vector<Request> push(const std::uint8_t* bytes, std::size_t count,
                              Clock::time_point arrivedAt);

    void setFrameGap(Clock::duration gap) { frameGap_ = gap; }
    std::size_t pendingBytes() const { return buffer_.size(); }

private:
    std::vector<std::uint8_t> buffer_;
    std::vector<Clock::time_point> arrivals_; // of each byte in buffer_
    Clock::time_point lastByteAt_{};
    Clock::duration frameGap_ = kDefaultFrameGap;
};

} // namespace zorvan::sim
