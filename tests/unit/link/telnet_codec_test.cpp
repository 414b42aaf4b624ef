#include "link/telnet_codec.h"

#include <gtest/gtest.h>
#include <numeric>

namespace zorvan::link::telnet {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Decoded {
    Bytes data;
    std::vector<Command> commands;
    bool operator==(const Decoded&) const = default;
};

Decoded decodeInPieces(const Bytes& stream, std::size_t split) {
    Decoder decoder;
    Decoded out;
    const std::span<const std::uint8_t> all(stream);
    decoder.feed(all.first(split), out.data, out.commands);
    decoder.feed(all.subspan(split), out.data, out.commands);
    return out;
}

// A server's greeting, an acknowledged speed of 0x0000FFFF (its 0xFF doubled) and line data
// holding 0xFF, come out the same however TCP cuts the stream.
TEST(TelnetDecoder, GivesTheSameDataAndCommandsWhereverTheStreamIsCut) {
    const Bytes stream{0x10, kIac,          kWill,          kBinary, 0x20,           kIac, kIac,
                       kIac, 241 /* NOP */, kIac,           kSb,     kComPortOption, 101,  0,
                       0,    kIac,          kIac,           kIac,    kIac,           kIac, kSe,
                       kIac, kDo,           kComPortOption, 0xFD,    kIac,           kIac};
    const Decoded expected{
        {0x10, 0x20, 0xFF, 0xFD, 0xFF},
        {{kWill, kBinary, {}},
         {kSb, kComPortOption, {101, 0, 0, 0xFF, 0xFF}},
         {kDo, kComPortOption, {}}},
    };
    for (std::size_t split = 0; split <= stream.size(); ++split) {
        EXPECT_EQ(decodeInPieces(stream, split), expected) << "cut after byte " << split;
    }
}

TEST(TelnetDecoder, ASubnegotiationThatLostItsEndGivesWayToTheNextCommand) {
    const Bytes stream{kIac, kSb, kComPortOption, 106, 0x00, kIac, kWill, kBinary, 0x42};
    const Decoded expected{{0x42}, {{kWill, kBinary, {}}}};
    EXPECT_EQ(decodeInPieces(stream, 0), expected);
}

TEST(TelnetCodec, EscapedBytesDecodeToThemselves) {
    Bytes every(256);
    std::iota(every.begin(), every.end(), 0);
    Bytes sent;
    appendEscaped(sent, every);
    EXPECT_EQ(sent.size(), 257u);
    EXPECT_EQ(decodeInPieces(sent, 200), (Decoded{every, {}}));
}

} // namespace
} // namespace zorvan::link::telnet
