// The poll and every command worker started together, over and over: the line rule must never
// deadlock, never let two exchanges share the line, and serve every command.
#include "link/command_codes.h"
#include "link/device_state.h"
#include "link/exchange.h"
#include "link/worker_threads.h"
#include "link/workers.h"
#include "tests/support/simulated_line.h"

#include <gtest/gtest.h>
#include <thread>

namespace zorvan::link {
namespace {

using namespace std::chrono_literals;
using testing::request;
using Frame = std::vector<std::uint8_t>;

constexpr int kRounds = 1000;

class LineSharing : public ::testing::Test {
protected:
    void SetUp() override {
        first = line.add(10, {10, 43, 5, 7});
        line.add(11, {10, 80, 1, 2});
        // Every instrument answers; a long time-out only keeps a loaded machine from failing it.
        ASSERT_TRUE(line.open(1000));
        // The pauses only pace real instruments; without them a thousand rounds take seconds.
        setLinePacing({0us, 0us, 0us, 0us});
        resetRunTimeState();
        deviceAddress[0] = 10;
        deviceAddress[1] = 11;
        activeDevice = 0;
        pollCount = 0;
    }
    void TearDown() override {
        setLinePacing({});
        deviceAddress[1] = 0;
    }

    testing::SimulatedLine line;
    sim::InstrumentHandle first{line.bus, 10};
};

TEST_F(LineSharing, WorkersAndPollTogetherNeverDeadlockOrInterleave) {
    for (int round = 0; round < kRounds; ++round) {
        std::thread pollTimer([] {
            // The poll timer's rule: a cycle starts only while nobody waits for the line.
            for (int tick = 0; tick < 3; ++tick) {
                if (pollMayStart()) {
                    StartPoll();
                }
                std::this_thread::yield();
            }
        });
        StartKeyPress(kKeyT);
        StartDigitalOut(round % 2 ? kOutputOn : kOutputOff);
        StartCommand(10, kServiceCode, round % 2 ? kLockKeyboard : kUnlockKeyboard);
        pollTimer.join();
        ASSERT_TRUE(waitForWorkers(10s)) << "deadlock in round " << round;
    }

    EXPECT_FALSE(keyCommandFailed);
    EXPECT_FALSE(digitalOutFailed);
    EXPECT_EQ(first.keyPresses().size(), std::size_t{kRounds});

    const auto frames = line.frames();
    std::size_t pollFrames = 0;
    for (int cycle = 0; cycle < pollCount; ++cycle) {
        pollFrames += cycle % 30 == 0 ? 4 : 2;
    }
    EXPECT_EQ(frames.size(), std::size_t{kRounds} * 4 + pollFrames)
        << "every exchange arrived whole";
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (frames[i] == request(10, 253, kKeyT)) {
            ASSERT_LT(i + 1, frames.size());
            EXPECT_EQ(frames[i + 1], request(10, 255, 12))
                << "the key press and its end stay together";
        }
    }
}

} // namespace
} // namespace zorvan::link
