// The exchange routines against simulated instruments over a real pseudo-terminal.
#include "link/device_state.h"
#include "link/exchange.h"
#include "link/frame.h"
#include "tests/support/simulated_line.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace zorvan::link {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::request;
using testing::SimulatedLine;

constexpr std::uint8_t kAddress = 10;
constexpr std::uint8_t kRead = 0x80;
constexpr int kTimeoutMs = 60;
// Pauses and time-outs of an exchange whose every read attempt waits out the time-out.
constexpr auto kSilentReadData = 25ms + 10 * (2ms + std::chrono::milliseconds(kTimeoutMs));

class Exchange : public ::testing::Test {
protected:
    void SetUp() override {
        line.add(kAddress, {10, 43, 5, 7});
        ASSERT_TRUE(line.open(kTimeoutMs));
        keyCommandBusy = false;
        commandBusy = false;
    }

    void setFaults(const sim::Faults& faults) { line.instrument(kAddress).setFaults(faults); }

    template <typename Exchange> auto timed(Exchange&& exchange) {
        const auto start = Clock::now();
        const bool result = exchange();
        return std::pair{result, Clock::now() - start};
    }

    SimulatedLine line;
    std::uint8_t answer[32]{};
};

TEST_F(Exchange, ReadDataSendsTheRequestAndTakesTheWholeAnswer) {
    ASSERT_TRUE(ReadData(kRead | kAddress, 236, 4, answer));
    const std::vector<std::vector<std::uint8_t>> expected{{0x8A, 0xEC, 0x03, 0x8D}};
    EXPECT_EQ(line.frames(), expected);
    EXPECT_EQ(answer[2], 10);
    EXPECT_EQ(answer[3], 43);
    EXPECT_EQ(answer[4], 5);
    EXPECT_EQ(answer[5], 7);
    EXPECT_EQ(answer[6], FrameChecksum(answer, 6));
}

TEST_F(Exchange, SendCommandIsAcknowledgedAndCarriedOut) {
    EXPECT_TRUE(SendCommand(kAddress, 255, 16));
    EXPECT_TRUE(line.instrument(kAddress).keyboardLocked());
    EXPECT_EQ(line.frames().back(), request(kAddress, 255, 16));
}

TEST_F(Exchange, WriteBlockOfOneByteIsAcknowledged) {
    const std::uint8_t data[1] = {250};
    EXPECT_TRUE(WriteBlock(kAddress, 255, 1, data));
    const auto frame = line.frames().back();
    EXPECT_EQ(frame.size(), 5u);
    EXPECT_EQ(frame[3], 250);
}

TEST_F(Exchange, EveryRequestLeavesTheQuietGapAfterTheAnswerBeforeIt) {
    // An instrument that starts its answers late, as real ones do: the master's pause after the
    // request is over before the answer ends, so only the pause before a request keeps the gap.
    sim::Faults slow;
    slow.answerDelay = 20ms;
    setFaults(slow);
    const std::uint8_t close[1] = {250};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(ReadData(kRead | kAddress, 47, 7, answer));
        ASSERT_TRUE(SendCommand(kAddress, 255, 17));
        ASSERT_TRUE(WriteBlock(kAddress, 255, 1, close));
    }
    EXPECT_EQ(line.frames().size(), 9u);
    EXPECT_TRUE(line.timingViolations().empty());

    // The same total pause, all of it after the request: the simulator notices.
    setLinePacing({0us, 25ms, 2ms, 5ms});
    ReadData(kRead | kAddress, 47, 7, answer);
    ReadData(kRead | kAddress, 47, 7, answer);
    setLinePacing({});
    const auto violations = line.timingViolations();
    ASSERT_FALSE(violations.empty());
    EXPECT_LT(violations.back().gap, 15ms);
}

TEST_F(Exchange, SilentExchangePausesBeforeEachOfItsTenReadAttempts) {
    // With a read time-out of 0 the exchange is its pauses alone: 10 ms after the request, ten
    // times 2 ms, then 15 ms before the next request. Sleeps never end early, so this is a floor.
    ASSERT_TRUE(line.open(0));
    EXPECT_FALSE(ReadData(kRead | 11, 236, 4, answer));
    ReadData(kRead | kAddress, 236, 4, answer);
    const auto traffic = line.server->traffic();
    ASSERT_EQ(traffic.size(), 2u);
    EXPECT_GE(traffic[1].at - traffic[0].at, 10ms + 10 * 2ms + 15ms - 3ms);
}

TEST_F(Exchange, AnswerStartingAfterTheTenthAttemptIsNotTaken) {
    // Ten attempts of 2 ms + 150 ms end about 1530 ms after the request; eleven would reach
    // 1682 ms. The answer starts halfway between.
    ASSERT_TRUE(line.open(150));
    sim::Faults late;
    late.answerDelay = 1606ms;
    setFaults(late);
    EXPECT_FALSE(SendCommand(kAddress, 255, 16));
    EXPECT_TRUE(line.instrument(kAddress).keyboardLocked()) << "the instrument took the command";
}

TEST_F(Exchange, ListeningGivesUpAfterTwoAttempts) {
    line.server.reset();
    sim::PtyServerOptions options;
    options.listenMasterPeriod = 600ms;
    line.server = sim::PtyServer::start(line.bus, options);
    comPortName = line.server->path();
    ASSERT_TRUE(line.open(100));
    // Two attempts of 2 ms + 100 ms are over long before the other master's first exchange.
    line.server->setListenMaster(kAddress);
    std::uint8_t buffer[11 + 7]{};
    EXPECT_FALSE(ListenData(kRead | kAddress, 149, 11, buffer));
}

TEST_F(Exchange, StrayBytesWaitingBeforeARequestArePurged) {
    sim::Faults stray;
    stray.strayBytes = {0x55, 0x8A, 0xEC};
    stray.strayDelay = 3ms;
    setFaults(stray);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(ReadData(kRead | kAddress, 47, 7, answer)) << i;
        EXPECT_TRUE(SendCommand(kAddress, 255, 17)) << i;
    }
}

// At the line's own pace, the tail of an answer behind garbage comes straight after the bytes
// read, as on a real line.
TEST(ExchangeAtLinePace, AnAnswerShiftedByGarbageIsRefusedAndNoiseAfterAWholeOneIsNot) {
    SimulatedLine line(9600);
    line.add(kAddress, {10, 43, 5, 7});
    ASSERT_TRUE(line.open(kTimeoutMs));
    keyCommandBusy = false;
    commandBusy = false;
    std::uint8_t answer[7]{};
    ASSERT_TRUE(ReadData(kRead | kAddress, 236, 4, answer));

    // The one garbage byte whose frame with the answer's first six bytes passes the checksum.
    std::uint8_t shifted[7]{};
    std::copy(answer, answer + 6, shifted + 1);
    while (FrameChecksum(shifted, 6) != shifted[6]) {
        ++shifted[0];
    }
    sim::Faults garbage;
    garbage.leadingGarbage = {shifted[0]};
    line.instrument(kAddress).setFaults(garbage);
    std::uint8_t read[7]{};
    EXPECT_FALSE(ReadData(kRead | kAddress, 236, 4, read))
        << "taken: " << ::testing::PrintToString(std::vector(read, read + 7));

    // A noise byte right behind a whole answer that does not close another one.
    sim::Faults noise;
    noise.strayBytes = {static_cast<std::uint8_t>(FrameChecksum(answer + 1, 6) ^ 1)};
    noise.strayDelay = 0ms;
    line.instrument(kAddress).setFaults(noise);
    EXPECT_TRUE(ReadData(kRead | kAddress, 236, 4, read));
}

TEST_F(Exchange, OtherAddressesStaySilent) {
    const auto [ok, took] = timed([&] { return ReadData(kRead | 11, 236, 4, answer); });
    EXPECT_FALSE(ok);
    EXPECT_GE(took, kSilentReadData - 5ms);
}

TEST_F(Exchange, DamagedAnswersAreRefused) {
    struct Row {
        const char* fault;
        sim::Faults faults;
    };
    std::vector<Row> rows(4);
    rows[0] = {"corrupted checksum", {}};
    rows[0].faults.corruptChecksum = true;
    rows[1] = {"truncated", {}};
    rows[1].faults.truncateBy = 1;
    rows[2] = {"leading garbage", {}};
    rows[2].faults.leadingGarbage = {0x55, 0xAA};
    rows[3] = {"dropped", {}};
    rows[3].faults.dropNext = 5;
    for (const auto& row : rows) {
        setFaults(row.faults);
        EXPECT_FALSE(ReadData(kRead | kAddress, 47, 7, answer)) << row.fault;
        EXPECT_FALSE(SendCommand(kAddress, 255, 17)) << row.fault;
    }
    setFaults({});
    EXPECT_TRUE(ReadData(kRead | kAddress, 47, 7, answer)) << "the next good answer is taken";
}

TEST_F(Exchange, DelayedAnswerWithinTheTimeOutIsTaken) {
    sim::Faults faults;
    faults.answerDelay = std::chrono::milliseconds(kTimeoutMs / 2);
    setFaults(faults);
    EXPECT_TRUE(ReadData(kRead | kAddress, 47, 7, answer));
    EXPECT_TRUE(SendCommand(kAddress, 253, 4));
}

TEST_F(Exchange, SilentInstrumentCostsTenAttempts) {
    sim::Faults faults;
    faults.silent = true;
    setFaults(faults);
    const auto [ok, took] = timed([&] { return ReadData(kRead | kAddress, 47, 7, answer); });
    EXPECT_FALSE(ok);
    EXPECT_GE(took, kSilentReadData - 5ms);
    EXPECT_LT(took, kSilentReadData * 3) << "bounded, whatever the machine's load";
}

TEST_F(Exchange, WaitingCommandCutsASilentReadToTheAttemptUnderWay) {
    sim::Faults faults;
    faults.silent = true;
    setFaults(faults);
    auto read = std::async(std::launch::async, [&] {
        return timed([&] { return ReadData(kRead | kAddress, 47, 7, answer); });
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(kTimeoutMs * 2));
    commandBusy = true;
    const auto [ok, took] = read.get();
    commandBusy = false;
    EXPECT_FALSE(ok);
    EXPECT_LT(took, kSilentReadData / 2);
}

TEST_F(Exchange, BusyFlagMakesASingleAttempt) {
    sim::Faults faults;
    faults.silent = true;
    setFaults(faults);
    keyCommandBusy = true;
    const auto [ok, took] = timed([&] { return SendCommand(kAddress, 253, 4); });
    keyCommandBusy = false;
    EXPECT_FALSE(ok);
    EXPECT_LT(took, kSilentReadData / 2);
}

TEST_F(Exchange, ListenDataTakesTheOtherMastersExchangeOnly) {
    line.server.reset();
    sim::PtyServerOptions options;
    options.listenMasterAddress = kAddress;
    options.listenMasterPeriod = 20ms;
    line.server = sim::PtyServer::start(line.bus, options);
    comPortName = line.server->path();
    ASSERT_TRUE(line.open(200));

    std::uint8_t buffer[11 + 7]{};
    EXPECT_TRUE(ListenData(kRead | kAddress, 149, 11, buffer));
    EXPECT_EQ(buffer[13], FrameChecksum(buffer, 13)) << "answer moved to the start";
    EXPECT_FALSE(ListenData(kRead | 11, 149, 11, buffer)) << "other address";
    EXPECT_FALSE(ListenData(kRead | kAddress, 152, 11, buffer)) << "other code";
    EXPECT_FALSE(ListenData(kRead | kAddress, 149, 10, buffer)) << "other count";
    EXPECT_TRUE(line.frames().empty()) << "listening sends nothing";
}

TEST_F(Exchange, ConcurrentExchangesNeverInterleaveOnTheLine) {
    auto worker = [&](std::uint8_t code, std::uint32_t n) {
        std::uint8_t own[16]{};
        int good = 0;
        for (int i = 0; i < 10; ++i) {
            good += ReadData(kRead | kAddress, code, n, own) ? 1 : 0;
        }
        return good;
    };
    auto versions = std::async(std::launch::async, worker, 236, 4);
    auto panels = std::async(std::launch::async, worker, 47, 7);
    EXPECT_EQ(versions.get(), 10);
    EXPECT_EQ(panels.get(), 10);
    for (const auto& frame : line.frames()) {
        EXPECT_EQ(frame.size(), 4u);
    }
    EXPECT_EQ(line.frames().size(), 20u);
}

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

TEST_F(Exchange, VanishedPortEndsExchangesWithoutSpinning) {
    sim::Faults faults;
    faults.silent = true;
    setFaults(faults);
    auto read = std::async(std::launch::async, [&] {
        const double cpuBefore = threadCpuSeconds();
        const auto result = timed([&] { return ReadData(kRead | kAddress, 47, 7, answer); });
        return std::pair{result, threadCpuSeconds() - cpuBefore};
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(kTimeoutMs));
    line.server->vanish();
    const auto [result, cpu] = read.get();
    EXPECT_FALSE(result.first);
    EXPECT_LT(result.second, kSilentReadData * 3);
    EXPECT_LT(cpu, 0.05) << "the reads wait, they do not spin";

    const double cpuBefore = threadCpuSeconds();
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(ReadData(kRead | kAddress, 47, 7, answer));
        EXPECT_FALSE(SendCommand(kAddress, 255, 17));
    }
    EXPECT_LT(threadCpuSeconds() - cpuBefore, 0.05);
}

} // namespace
} // namespace zorvan::link
