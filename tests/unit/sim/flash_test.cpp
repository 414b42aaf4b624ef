#include "sim/bus.h"
#include "sim_frames.h"

#include <gtest/gtest.h>
#include <numeric>

namespace zorvan::sim {
namespace {

using testing::command;
using testing::readData;
using testing::writeBlock;

constexpr std::uint8_t kAddress = 10;
constexpr std::uint8_t kRead = 0x80 | kAddress;
constexpr std::uint8_t kWrite = 0x40 | kAddress;
constexpr std::uint8_t kControl = kAddress;

std::vector<std::uint8_t> pageImage(std::uint8_t seed) {
    std::vector<std::uint8_t> page(kFlashPageSize);
    std::iota(page.begin(), page.end(), seed);
    return page;
}

// The master's sequence for one page; false at the first step that is not acknowledged.
bool writePage(Bus& bus, std::uint8_t index, const std::vector<std::uint8_t>& page,
               std::size_t pieceSize) {
    const bool large = pieceSize == 128;
    bool ok = command(bus, kControl, 254, 3);
    ok = ok && (large ? command(bus, kControl, 255, 251) : command(bus, kControl, 251, 1));
    for (std::size_t offset = 0; ok && offset < kFlashPageSize; offset += pieceSize) {
        ok = writeBlock(bus, kWrite, static_cast<std::uint8_t>(offset),
                        {page.begin() + static_cast<std::ptrdiff_t>(offset),
                         page.begin() + static_cast<std::ptrdiff_t>(offset + pieceSize)});
    }
    ok =
        ok && (large ? writeBlock(bus, kControl, 255, {250}) : writeBlock(bus, kControl, 251, {0}));
    ok = ok && command(bus, kControl, 254, index);
    return ok && command(bus, kControl, 255, 5);
}

std::uint8_t pageResult(Bus& bus) {
    return readData(bus, kRead, 255, 1).at(0);
}

TEST(FlashWrite, LargePiecesWriteThePageIntoMemory) {
    Bus bus;
    auto handle = bus.addInstrument(kAddress, {10, 80, 1, 2});

    ASSERT_TRUE(writePage(bus, 3, pageImage(7), 128));

    EXPECT_EQ(pageResult(bus), 0);
    EXPECT_EQ(handle.flashPage(3), pageImage(7));
    EXPECT_EQ(handle.flashPage(2), std::vector<std::uint8_t>(kFlashPageSize, 0xFF));
    EXPECT_EQ(handle.mode(), 0) << "254 with 3 and with the page index are no mode commands";
}

TEST(FlashWrite, SmallPiecesWriteEveryPageIncludingPageZero) {
    Bus bus;
    auto handle = bus.addInstrument(kAddress, {10, 43, 5, 7});

    ASSERT_TRUE(writePage(bus, 0, pageImage(1), 16));
    ASSERT_TRUE(writePage(bus, 1, pageImage(2), 16));

    EXPECT_EQ(pageResult(bus), 0);
    EXPECT_EQ(handle.flashPage(0), pageImage(1));
    EXPECT_EQ(handle.flashPage(1), pageImage(2));
}

TEST(FlashWrite, FailingPageReportsItsResultAndKeepsTheMemory) {
    Bus bus;
    auto handle = bus.addInstrument(kAddress, {10, 80, 1, 2});
    Faults faults;
    faults.failingPages[1] = 3;
    handle.setFaults(faults);

    ASSERT_TRUE(writePage(bus, 0, pageImage(1), 128));
    EXPECT_EQ(pageResult(bus), 0);
    ASSERT_TRUE(writePage(bus, 1, pageImage(2), 128));
    EXPECT_EQ(pageResult(bus), 3);
    EXPECT_EQ(handle.flashPage(0), pageImage(1));
    EXPECT_EQ(handle.flashPage(1), std::vector<std::uint8_t>(kFlashPageSize, 0xFF));
}

TEST(FlashWrite, PiecesOutsideAnOpenBufferAreRefused) {
    Bus bus;
    bus.addInstrument(kAddress, {10, 80, 1, 2});
    ASSERT_TRUE(command(bus, kControl, 254, 3));
    EXPECT_FALSE(writeBlock(bus, kWrite, 0, std::vector<std::uint8_t>(128, 1)))
        << "buffer not opened by 255 with 251";

    ASSERT_TRUE(command(bus, kControl, 255, 251));
    EXPECT_FALSE(writeBlock(bus, kWrite, 192, std::vector<std::uint8_t>(128, 1)))
        << "runs past the end of the page";
    // Burning without closing the buffer and naming the page is out of sequence.
    ASSERT_TRUE(command(bus, kControl, 255, 5));
    EXPECT_EQ(pageResult(bus), kPageSequenceError);
}

TEST(FlashWrite, RepeatedStepsAfterLostAcknowledgementsStillWriteThePage) {
    Bus bus;
    auto handle = bus.addInstrument(kAddress, {10, 80, 1, 2});
    const auto page = pageImage(9);
    // The master's recovery when preparation is not acknowledged: close the buffer, prepare
    // again.
    ASSERT_TRUE(command(bus, kControl, 254, 3));
    ASSERT_TRUE(writeBlock(bus, kControl, 255, {250}));
    ASSERT_TRUE(command(bus, kControl, 254, 3));
    ASSERT_TRUE(command(bus, kControl, 255, 251));
    ASSERT_TRUE(command(bus, kControl, 255, 251));
    ASSERT_TRUE(writeBlock(bus, kWrite, 0, {page.begin(), page.begin() + 128}));
    ASSERT_TRUE(writeBlock(bus, kWrite, 128, {page.begin() + 128, page.end()}));
    ASSERT_TRUE(writeBlock(bus, kWrite, 128, {page.begin() + 128, page.end()}));
    ASSERT_TRUE(writeBlock(bus, kControl, 255, {250}));
    ASSERT_TRUE(command(bus, kControl, 254, 4));
    ASSERT_TRUE(command(bus, kControl, 254, 4));
    ASSERT_TRUE(command(bus, kControl, 255, 5));
    ASSERT_TRUE(command(bus, kControl, 255, 5));

    EXPECT_EQ(pageResult(bus), 0);
    EXPECT_EQ(handle.flashPage(4), page);
}

} // namespace
} // namespace zorvan::sim
