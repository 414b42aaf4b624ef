// The simulator's own reading of the protocol, checked against the protocol's literal values
// and, for the indicator, against the master's table: a wrong entry on either side fails here.
#include "link/indicator_codes.h"
#include "sim/protocol.h"

#include <gtest/gtest.h>
#include <string>

namespace zorvan::sim {
namespace {

std::uint8_t checksumOf(const std::string& text) {
    return frameChecksum(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

TEST(SimProtocol, ChecksumMatchesTheCheckValuesAndTheExampleRequest) {
    EXPECT_EQ(checksumOf(""), 0x0F);
    EXPECT_EQ(checksumOf("123456789"), 0xAB);
    EXPECT_EQ(checksumOf("abc"), 0x1D);
    const std::uint8_t versionRead[] = {0x8A, 0xEC, 0x03};
    EXPECT_EQ(frameChecksum(versionRead, 3), 0x8D);
}

TEST(SimProtocol, Signed24IsLittleEndianTwosComplementAndSaturates) {
    const struct {
        std::int32_t value;
        std::vector<std::uint8_t> bytes;
    } rows[] = {
        {0, {0x00, 0x00, 0x00}},        {12345, {0x39, 0x30, 0x00}},
        {-1, {0xFF, 0xFF, 0xFF}},       {8388607, {0xFF, 0xFF, 0x7F}},
        {-8388608, {0x00, 0x00, 0x80}}, {9000000, {0xFF, 0xFF, 0x7F}},
        {-9000000, {0x00, 0x00, 0x80}},
    };
    for (const auto& row : rows) {
        std::vector<std::uint8_t> data;
        appendSigned24(data, row.value);
        EXPECT_EQ(data, row.bytes) << row.value;
    }
}

TEST(SimProtocol, EveryReadHasTheDataCountOfTheCommandTable) {
    const struct {
        std::uint8_t bits;
        std::uint8_t code;
        std::size_t count;
    } rows[] = {
        {0x80, 47, 7},  {0x80, 236, 4}, {0x80, 149, 11}, {0x80, 152, 3}, {0x80, 237, 1},
        {0x80, 255, 1}, {0xC0, 0, 3},   {0xC0, 5, 2},    {0xC0, 6, 1},   {0xC0, 31, 1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(dataCountOf(row.bits, row.code), row.count)
            << int(row.bits) << " " << int(row.code);
    }
    EXPECT_FALSE(dataCountOf(0xC0, 47));
    EXPECT_FALSE(dataCountOf(0x80, 0));
    EXPECT_FALSE(dataCountOf(0x80, 5));
}

TEST(SimProtocol, IndicatorGlyphsAgreeWithTheMastersTableBothWays) {
    int shown = 0;
    for (int code = 0; code < 256; ++code) {
        if ((code & kPointSegment) != 0) {
            continue;
        }
        const char character = link::characterOfCode(static_cast<std::uint8_t>(code));
        if (character != '?') {
            ++shown;
            EXPECT_EQ(segmentsOf(character), code) << character;
        }
    }
    EXPECT_EQ(shown, 39);
    EXPECT_FALSE(segmentsOf('?'));
    EXPECT_FALSE(segmentsOf('B')) << "only lower-case b has a pattern";
}

} // namespace
} // namespace zorvan::sim
