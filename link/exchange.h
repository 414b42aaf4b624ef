#pragma once

// One exchange with one instrument: a request frame, then its answer read back on the calling
// thread through comPortHandle. Each blocks for tens to hundreds of milliseconds.

#include <chrono>
#include <cstdint>

namespace zorvan::link {

// The line's fixed pauses: a quiet gap before each request, time for the instrument to start
// its answer, a breath before each read attempt and after a block acknowledgement. The
// instruments need them as they are; only a stress test of the line sharing shortens them.
struct LinePacing {
    std::chrono::microseconds beforeRequest{15'000};
    std::chrono::microseconds afterRequest{10'000};
    std::chrono::microseconds beforeRead{2'000};
    std::chrono::microseconds afterBlock{5'000};
};

void setLinePacing(const LinePacing& pacing);

// A control command; the 2-byte acknowledgement must repeat the request's checksum.
bool SendCommand(std::uint8_t address, std::uint8_t code, std::uint8_t parameter);

// Reads n data bytes; the whole answer (n + 3 bytes) lands in `answer` from index 0, so the
// data stand at indices 2..n + 1.
bool ReadData(std::uint8_t address, std::uint8_t code, std::uint32_t n, std::uint8_t* answer);

// Sends nothing: picks another master's identical request and its answer off the line.
// `buffer` holds n + 7 bytes; on success the answer stands at 0..n + 2 as after ReadData.
bool ListenData(std::uint8_t address, std::uint8_t code, std::uint32_t n, std::uint8_t* buffer);

// A request carrying n data bytes, acknowledged like a command.
bool WriteBlock(std::uint8_t address, std::uint8_t code, std::uint32_t n, const std::uint8_t* data);

} // namespace zorvan::link
