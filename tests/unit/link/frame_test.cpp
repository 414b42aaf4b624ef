#include "link/answer_check.h"
#include "link/frame.h"

#include <gtest/gtest.h>
#include <string>

namespace zorvan::link {
namespace {

std::uint8_t checksumOf(const std::string& text) {
    return FrameChecksum(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

TEST(FrameChecksum, MatchesTheCheckValues) {
    EXPECT_EQ(checksumOf(""), 0x0F);
    EXPECT_EQ(checksumOf("123456789"), 0xAB);
    EXPECT_EQ(checksumOf("abc"), 0x1D);
}

TEST(FrameChecksum, VersionReadOfAddressTenIsTheKnownFrame) {
    const Request request = buildRequest(0x80 | 10, 236, 4 - 1);
    EXPECT_EQ(request, (Request{0x8A, 0xEC, 0x03, 0x8D}));
}

struct Signed24Row {
    std::uint8_t bytes[3];
    std::int32_t value;
};

TEST(Signed24, WidensTheSignOfTheThirdByte) {
    const Signed24Row rows[] = {
        {{0x00, 0x00, 0x00}, 0},        {{0x01, 0x00, 0x00}, 1},  {{0xFF, 0xFF, 0x7F}, 8388607},
        {{0x00, 0x00, 0x80}, -8388608}, {{0xFF, 0xFF, 0xFF}, -1}, {{0x39, 0x30, 0x00}, 12345},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(decodeSigned24(row.bytes), row.value);
        std::uint8_t encoded[3];
        encodeSigned24(row.value, encoded);
        EXPECT_EQ(decodeSigned24(encoded), row.value);
    }
}

} // namespace
} // namespace zorvan::link
