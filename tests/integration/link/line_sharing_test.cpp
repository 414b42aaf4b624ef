// The poll and the command workers on one line: the line rule must never deadlock, never let two
// exchanges share the line, serve a waiting command before the next cycle, and send it to the
// instrument whose window is active when it goes on the line.
#include "link/command_codes.h"
#include "link/device_state.h"
#include "link/exchange.h"
#include "link/line_flags.h"
#include "link/worker_threads.h"
#include "link/workers.h"
#include "tests/support/simulated_line.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace zorvan::link {
namespace {

using namespace std::chrono_literals;
using testing::request;
using Frame = std::vector<std::uint8_t>;

constexpr int kRounds = 1000;

template <typename Condition> bool waitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

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

// The main window's poll timer, as fast as it may go: a cycle whenever pollMayStart() allows.
class PollTimer {
public:
    PollTimer()
        : thread_([this] {
              while (!stop_) {
                  if (pollMayStart()) {
                      StartPoll();
                  }
                  std::this_thread::sleep_for(1ms);
              }
          }) {}
    ~PollTimer() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::size_t indexOf(const std::vector<Frame>& frames, const Frame& frame, std::size_t from = 0) {
    return static_cast<std::size_t>(
        std::find(frames.begin() + static_cast<std::ptrdiff_t>(from), frames.end(), frame) -
        frames.begin());
}

TEST_F(LineSharing, KeyAndCommandWaitingDuringACycleGoBeforeTheNextCycle) {
    // Instrument 2 is silent, so every cycle ends with reads that wait for it; instrument 1
    // answers late, so each command stays on the line for a while.
    sim::Faults silent;
    silent.silent = true;
    line.instrument(11).setFaults(silent);
    sim::Faults slow;
    slow.answerDelay = 20ms;
    first.setFaults(slow);
    ASSERT_TRUE(line.open(30));
    const Frame panelOfSecond = request(0x80 | 11, 47, 6);
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        line.server->clearTraffic();
        std::size_t pressedAfter = 0;
        {
            PollTimer timer;
            ASSERT_TRUE(waitFor([&] {
                const auto frames = line.frames();
                pressedAfter = indexOf(frames, panelOfSecond);
                return pressedAfter < frames.size();
            }));
            StartKeyPress(kKeyT);
            StartCommand(10, kServiceCode, kLockKeyboard);
            // While a waiting command is on the line no further cycle may have started: the
            // order of these reads keeps a cycle that starts after them from counting.
            bool cycleStartedEarly = false;
            ASSERT_TRUE(waitFor([&] {
                const bool polling = pollInProgress;
                const bool waiting = keyCommandBusy || commandBusy;
                const auto frames = line.frames();
                const bool commandOnLine = frames.size() > pressedAfter + 1 &&
                                           frames.back() != request(0x80 | 10, 47, 6) &&
                                           frames.back() != panelOfSecond;
                cycleStartedEarly = cycleStartedEarly || (polling && waiting && commandOnLine);
                return frames.size() >= pressedAfter + 5;
            })) << "and a cycle after";
            EXPECT_FALSE(cycleStartedEarly);
        }
        ASSERT_TRUE(waitForWorkers(10s));
        const auto frames = line.frames();
        ASSERT_GE(frames.size(), pressedAfter + 4);
        std::vector<Frame> served(frames.begin() + static_cast<std::ptrdiff_t>(pressedAfter) + 1,
                                  frames.begin() + static_cast<std::ptrdiff_t>(pressedAfter) + 4);
        std::sort(served.begin(), served.end());
        std::vector<Frame> expected{request(10, 253, kKeyT), request(10, 255, 12),
                                    request(10, 255, kLockKeyboard)};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(served, expected) << "no cycle comes between the waiting commands";
    }
}

TEST_F(LineSharing, KeyGoesToTheWindowActiveWhenTheWorkerSends) {
    std::unique_lock lineHeld(lineMutex);
    activeDevice = 0;
    StartKeyPress(kKeyF1);
    ASSERT_TRUE(waitFor([] { return keyCommandBusy.load(); }));
    activeDevice = 1;
    lineHeld.unlock();
    ASSERT_TRUE(waitForWorkers(10s));
    EXPECT_EQ(line.frames(), (std::vector<Frame>{request(11, 253, kKeyF1), request(11, 255, 12)}));
}

TEST_F(LineSharing, VersionIsReadInEveryThirtiethCycleAndWhileUnknown) {
    const struct {
        int cycle;
        bool versionKnown;
        bool versionRead;
    } rows[] = {{0, true, true},  {1, true, false}, {29, true, false},
                {30, true, true}, {1, false, true}, {31, false, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "cycle " << row.cycle << ", known " << row.versionKnown);
        line.server->clearTraffic();
        for (int device = 0; device < kDeviceCount; ++device) {
            const std::uint8_t known = row.versionKnown ? 7 : 0;
            versionByte0[device] = known;
            versionByte1[device] = known;
            versionByte2[device] = known;
            versionByte3[device] = known;
        }
        pollCount = row.cycle;
        pollInProgress = true;
        PollWorker();
        const auto frames = line.frames();
        EXPECT_EQ(indexOf(frames, request(0x80 | 10, 236, 3)) < frames.size(), row.versionRead);
        EXPECT_EQ(frames.back(), request(0x80 | 11, 47, 6)) << "the panels are read in any case";
        EXPECT_EQ(versionByte1[0], row.versionRead ? 43 : (row.versionKnown ? 7 : 0));
    }
}

} // namespace
} // namespace zorvan::link
