// The FLASH page sequence against simulated instruments over a real pseudo-terminal: what goes on
// the line, what ends up in the instrument's memory, and how each failure ends the write.
#include "link/exchange.h"
#include "link/flash_write.h"
#include "link/frame.h"
#include "tests/support/simulated_line.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <unistd.h>

namespace zorvan::link {
namespace {

using namespace std::chrono_literals;
using testing::request;
using testing::SimulatedLine;
using Frame = std::vector<std::uint8_t>;
using Frames = std::vector<Frame>;

constexpr std::uint8_t kAddress = 10;
constexpr std::uint8_t kSmallKind = 99;
constexpr std::uint8_t kLargeKind = 100;
constexpr std::uint8_t kErased = 0xFF;

std::vector<std::uint8_t> randomImage(std::size_t bytes) {
    std::mt19937 generator(static_cast<unsigned>(bytes));
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> image(bytes);
    std::generate(image.begin(), image.end(),
                  [&] { return static_cast<std::uint8_t>(byte(generator)); });
    return image;
}

Frame block(std::uint8_t address, std::uint8_t code, const std::uint8_t* data, std::size_t n) {
    Frame frame(n + 4);
    frame[0] = address;
    frame[1] = code;
    frame[2] = static_cast<std::uint8_t>(n - 1);
    std::copy(data, data + n, frame.begin() + 3);
    frame[n + 3] = FrameChecksum(frame.data(), n + 3);
    return frame;
}

Frame readinessRead() {
    return request(0x80 | kAddress, 237, 0);
}

Frame restart() {
    return request(kAddress, 255, 1);
}

// Every frame of one page, in the order the instrument expects them.
Frames pageFrames(std::uint8_t kind, const std::vector<std::uint8_t>& image, std::uint8_t page) {
    const bool large = kind >= kLargeKind;
    const std::size_t piece = large ? 128 : 16;
    const std::uint8_t closeByte = large ? 250 : 0;
    Frames frames{request(kAddress, 254, 3),
                  large ? request(kAddress, 255, 251) : request(kAddress, 251, 1)};
    for (std::size_t offset = 0; offset < kFlashPageBytes; offset += piece) {
        frames.push_back(block(0x40 | kAddress, static_cast<std::uint8_t>(offset),
                               image.data() + page * kFlashPageBytes + offset, piece));
    }
    frames.push_back(block(kAddress, large ? 255 : 251, &closeByte, 1));
    frames.push_back(request(kAddress, 254, page));
    frames.push_back(request(kAddress, 255, 5));
    frames.push_back(request(0x80 | kAddress, 255, 0));
    return frames;
}

class FlashWrite : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(line.open(60)); }

    sim::InstrumentHandle addInstrument(std::uint8_t readiness) {
        auto instrument = line.add(kAddress, {10, 43, 5, 7});
        instrument.update([&](sim::Instrument& it) { it.flashReadiness = readiness; });
        return instrument;
    }

    FlashWriteResult write(const std::vector<std::uint8_t>& image,
                           const FlashWritePauses& pauses = {}) {
        FlashWriteReports reports;
        reports.pagesStarting = [this](int pages) { announcedPages = pages; };
        reports.pageBegun = [this](int page) { begunPages.push_back(page); };
        return WriteFlashImage(kAddress, image, reports, nullptr, pauses);
    }

    std::vector<std::uint8_t> memory(std::uint8_t address = kAddress) {
        return line.instrument(address).inspect(
            [](const sim::Instrument& it) { return it.flash.bytes(); });
    }

    int count(const Frame& frame) {
        const auto frames = line.frames();
        return static_cast<int>(std::count(frames.begin(), frames.end(), frame));
    }

    SimulatedLine line;
    int announcedPages = -1;
    std::vector<int> begunPages;
};

class FlashWriteKind : public FlashWrite, public ::testing::WithParamInterface<std::uint8_t> {};

TEST_P(FlashWriteKind, OnePageGoesOnTheLineInTheInstrumentsOrder) {
    auto instrument = addInstrument(GetParam());
    const auto image = randomImage(kFlashPageBytes);

    const FlashWriteResult result = write(image);

    EXPECT_EQ(result.outcome, FlashWriteOutcome::Written);
    EXPECT_EQ(result.pagesWritten, 1);
    Frames expected{readinessRead()};
    const Frames page = pageFrames(GetParam(), image, 0);
    expected.insert(expected.end(), page.begin(), page.end());
    expected.push_back(restart());
    EXPECT_EQ(line.frames(), expected);
    EXPECT_EQ(instrument.flashPage(0), image);
    EXPECT_EQ(instrument.restartCount(), 1);
    EXPECT_EQ(announcedPages, 1);
    EXPECT_EQ(begunPages, std::vector<int>{0});
}

INSTANTIATE_TEST_SUITE_P(SmallAndLargePieces, FlashWriteKind,
                         ::testing::Values(kSmallKind, kLargeKind));

// A whole image takes minutes at the line's own pace; what these check is the bytes, so the
// line's pauses and the burn pause are shortened (the simulator burns at once).
class WholeFlashImage : public FlashWriteKind {
protected:
    void SetUp() override {
        FlashWriteKind::SetUp();
        setLinePacing({0us, 0us, 0us, 0us});
    }
    void TearDown() override { setLinePacing({}); }
};

TEST_P(WholeFlashImage, ReadsBackByteForByte) {
    addInstrument(GetParam());
    const auto image = randomImage(kFlashImageCapacity);
    FlashWritePauses quickBurn;
    quickBurn.beforeResult = 1ms;

    const FlashWriteResult result = write(image, quickBurn);

    EXPECT_EQ(result.outcome, FlashWriteOutcome::Written);
    EXPECT_EQ(result.pagesWritten, 256);
    EXPECT_EQ(announcedPages, 256);
    EXPECT_EQ(begunPages.back(), 255);
    EXPECT_TRUE(memory() == image);
}

INSTANTIATE_TEST_SUITE_P(SmallAndLargePieces, WholeFlashImage,
                         ::testing::Values(kSmallKind, kLargeKind));

TEST_F(FlashWrite, OnlyWholePagesAreWritten) {
    auto instrument = addInstrument(kLargeKind);
    const auto image = randomImage(1000);

    const FlashWriteResult result = write(image);

    EXPECT_EQ(result.outcome, FlashWriteOutcome::Written);
    EXPECT_EQ(announcedPages, 3);
    EXPECT_EQ(count(request(kAddress, 255, 5)), 3);
    const auto written = memory();
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 768, written.begin()));
    EXPECT_EQ(instrument.flashPage(3), std::vector<std::uint8_t>(kFlashPageBytes, kErased));
}

TEST_F(FlashWrite, ImageShorterThanAPageGoesStraightToTheRestart) {
    for (const std::size_t bytes : {std::size_t{0}, std::size_t{255}}) {
        SCOPED_TRACE(bytes);
        line.server->clearTraffic();
        addInstrument(kSmallKind);

        const FlashWriteResult result = write(randomImage(bytes));

        EXPECT_EQ(result.outcome, FlashWriteOutcome::Written);
        EXPECT_EQ(announcedPages, 0);
        EXPECT_EQ(line.frames(), (Frames{readinessRead(), restart()}));
    }
}

TEST_F(FlashWrite, RefusedPageStopsTheWriteAndKeepsTheEarlierPages) {
    auto instrument = addInstrument(kLargeKind);
    sim::Faults faults;
    faults.failingPages[2] = 3;
    instrument.setFaults(faults);
    const auto image = randomImage(4 * kFlashPageBytes);

    const FlashWriteResult result = write(image);

    EXPECT_EQ(result.outcome, FlashWriteOutcome::PageRejected);
    EXPECT_EQ(result.pageResult, 3);
    EXPECT_EQ(result.pagesWritten, 2);
    const Frames expectedEnd = pageFrames(kLargeKind, image, 2);
    const auto frames = line.frames();
    ASSERT_GE(frames.size(), expectedEnd.size());
    EXPECT_TRUE(std::equal(expectedEnd.begin(), expectedEnd.end(),
                           frames.end() - static_cast<long>(expectedEnd.size())))
        << "the write stops right after the refused page's result";
    const auto written = memory();
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 512, written.begin()));
    EXPECT_EQ(instrument.flashPage(2), std::vector<std::uint8_t>(kFlashPageBytes, kErased));
    EXPECT_EQ(instrument.restartCount(), 0);
}

TEST_F(FlashWrite, SilentInstrumentIsAskedForItsReadinessThreeTimes) {
    sim::Faults silent;
    silent.silent = true;
    addInstrument(kLargeKind).setFaults(silent);

    const FlashWriteResult result = write(randomImage(kFlashPageBytes));

    EXPECT_EQ(result.outcome, FlashWriteOutcome::NoReadiness);
    EXPECT_EQ(line.frames(), (Frames{readinessRead(), readinessRead(), readinessRead()}));
    EXPECT_EQ(announcedPages, -1);
}

// Lost acknowledgements of the preparation: a retry, then a buffer close and one last try.
TEST_F(FlashWrite, RefusedPreparationIsRetriedThenRecoveredByClosingTheBuffer) {
    const struct {
        int lostAnswers;
        FlashWriteOutcome outcome;
        int preparations;
        int bufferCloses;
    } rows[] = {
        {1, FlashWriteOutcome::Written, 2, 1},
        {2, FlashWriteOutcome::Written, 3, 2},
        {3, FlashWriteOutcome::Written, 3, 2},
        {4, FlashWriteOutcome::NoConnection, 3, 1},
    };
    const std::uint8_t closeByte = 250;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lostAnswers);
        line.server->clearTraffic();
        auto instrument = addInstrument(kLargeKind);
        const auto image = randomImage(kFlashPageBytes);
        FlashWriteReports reports;
        reports.pagesStarting = [&](int) {
            sim::Faults faults;
            faults.dropNext = row.lostAnswers;
            instrument.setFaults(faults);
        };

        const FlashWriteResult result = WriteFlashImage(kAddress, image, reports);

        EXPECT_EQ(result.outcome, row.outcome);
        EXPECT_EQ(count(request(kAddress, 254, 3)), row.preparations);
        EXPECT_EQ(count(block(kAddress, 255, &closeByte, 1)), row.bufferCloses);
        if (row.outcome == FlashWriteOutcome::Written) {
            EXPECT_EQ(instrument.flashPage(0), image);
        } else {
            EXPECT_EQ(line.frames().back(), request(kAddress, 254, 3))
                << "nothing after the last try";
        }
    }
}

TEST_F(FlashWrite, StopRequestEndsTheWriteBetweenPages) {
    auto instrument = addInstrument(kLargeKind);
    std::atomic<bool> stop{false};
    FlashWriteReports reports;
    reports.pageBegun = [&](int) { stop = true; };

    const FlashWriteResult result =
        WriteFlashImage(kAddress, randomImage(3 * kFlashPageBytes), reports, &stop);

    EXPECT_EQ(result.outcome, FlashWriteOutcome::Stopped);
    EXPECT_EQ(result.pagesWritten, 1);
    EXPECT_EQ(count(request(kAddress, 254, 3)), 1);
    EXPECT_EQ(instrument.restartCount(), 0);
}

TEST(FlashImage, IsRefusedWhenMissingUnreadableOrTooLargeForTheMemory) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("zorvan-flash-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "directory.bin");
    const auto fileOf = [&](const char* name, std::size_t bytes) {
        const auto path = folder / name;
        std::ofstream(path, std::ios::binary) << std::string(bytes, '\x5A');
        return path.string();
    };
    const struct {
        std::string path;
        FlashImageStatus status;
        std::size_t bytes;
    } rows[] = {
        {(folder / "missing.bin").string(), FlashImageStatus::Unopened, 0},
        {(folder / "directory.bin").string(), FlashImageStatus::Unopened, 0},
        {fileOf("empty.bin", 0), FlashImageStatus::Loaded, 0},
        {fileOf("full.bin", kFlashImageCapacity), FlashImageStatus::Loaded, kFlashImageCapacity},
        {fileOf("long.bin", kFlashImageCapacity + 1), FlashImageStatus::TooLarge, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        const FlashImage image = loadFlashImage(row.path);
        EXPECT_EQ(image.status, row.status);
        EXPECT_EQ(image.bytes.size(), row.bytes);
    }
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace zorvan::link
