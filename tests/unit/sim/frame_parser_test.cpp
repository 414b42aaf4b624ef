#include "sim/frame_parser.h"
#include "sim_frames.h"

#include <gtest/gtest.h>

namespace zorvan::sim {
namespace {

using testing::blockFrame;
using testing::frame;
using Frames = std::vector<std::vector<std::uint8_t>>;

Frames framesOf(const std::vector<Request>& requests) {
    Frames frames;
    for (const Request& request : requests) {
        frames.push_back(request.bytes);
    }
    return frames;
}

TEST(FrameLength, FollowsTheCommandTable) {
    struct Row {
        std::uint8_t addressByte, code, parameter;
        std::size_t length;
    } const rows[] = {
        {0x8A, 47, 6, 4},      // panel read
        {0xCA, 5, 1, 4},       // set value read
        {0x4A, 5, 0x34, 4},    // set value write, low byte
        {0x4A, 6, 0x12, 4},    // set value write, high byte
        {0x4A, 128, 127, 132}, // FLASH piece of 128 at offset 128
        {0x4A, 0, 15, 20},     // FLASH piece of 16 at offset 0
        {0x0A, 255, 0, 5},     // end of pieces, large kind: one data byte
        {0x0A, 251, 0, 5},     // end of pieces, small kind
        {0x0A, 255, 12, 4},    // end of a key press
        {0x0A, 251, 1, 4},     // open the page buffer, small kind
        {0x0A, 254, 0, 4},     // mode, or page index 0
    };
    for (const Row& row : rows) {
        EXPECT_EQ(frameLength(row.addressByte, row.code, row.parameter), row.length)
            << int(row.addressByte) << " " << int(row.code) << " " << int(row.parameter);
    }
}

TEST(FrameParser, AssemblesFramesFromArbitraryPieces) {
    const auto read = frame(0x8A, 236, 3);
    const auto piece = blockFrame(0x4A, 16, std::vector<std::uint8_t>(16, 0x5A));
    const auto pageEnd = blockFrame(0x0A, 251, {0});
    std::vector<std::uint8_t> stream = read;
    stream.insert(stream.end(), piece.begin(), piece.end());
    stream.insert(stream.end(), pageEnd.begin(), pageEnd.end());

    for (const std::size_t pieceSize : {1u, 2u, 3u, 7u, 64u}) {
        FrameParser parser;
        std::vector<Request> requests;
        const auto now = Clock::now();
        for (std::size_t at = 0; at < stream.size(); at += pieceSize) {
            const std::size_t count = std::min(pieceSize, stream.size() - at);
            auto found = parser.push(stream.data() + at, count, now);
            requests.insert(requests.end(), found.begin(), found.end());
        }
        EXPECT_EQ(framesOf(requests), (Frames{read, piece, pageEnd})) << pieceSize;
        EXPECT_EQ(parser.pendingBytes(), 0u);
    }
}

TEST(FrameParser, DropsAFrameWithABadChecksumAndFindsTheNextOne) {
    auto damaged = frame(0x8A, 47, 6);
    damaged[3] ^= 0x01;
    const auto good = frame(0x8A, 236, 3);
    std::vector<std::uint8_t> stream = damaged;
    stream.insert(stream.end(), good.begin(), good.end());

    FrameParser parser;
    EXPECT_EQ(framesOf(parser.push(stream.data(), stream.size(), Clock::now())), (Frames{good}));
}

TEST(FrameParser, ForgetsAHalfFrameAfterTheLineWasQuiet) {
    // A lone write-mode byte announces a 132-byte block that never comes.
    const std::vector<std::uint8_t> stray{0x4A, 128, 127};
    const auto good = frame(0x8A, 236, 3);
    const auto start = Clock::now();

    FrameParser parser;
    EXPECT_TRUE(parser.push(stray.data(), stray.size(), start).empty());
    EXPECT_TRUE(parser.push(good.data(), good.size(), start + kDefaultFrameGap / 2).empty())
        << "within the gap the bytes still belong to the block";

    FrameParser later;
    later.push(stray.data(), stray.size(), start);
    EXPECT_EQ(framesOf(later.push(good.data(), good.size(), start + 2 * kDefaultFrameGap)),
              (Frames{good}));
}

} // namespace
} // namespace zorvan::sim
