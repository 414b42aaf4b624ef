#include "sim/bus.h"
#include "sim_frames.h"

#include <gtest/gtest.h>

namespace zorvan::sim {
namespace {

using testing::frame;
using testing::send;

constexpr std::uint8_t kAddress = 10;

class FaultsTest : public ::testing::Test {
protected:
    FaultsTest() : handle(bus.addInstrument(kAddress, {10, 43, 5, 7})) {}

    template <typename Set> void switchOn(Set set) {
        Faults faults;
        set(faults);
        handle.setFaults(faults);
    }
    std::optional<Reply> versionRead() { return send(bus, frame(0x80 | kAddress, 236, 3)); }
    std::vector<std::uint8_t> goodVersionAnswer() {
        Faults saved = handle.faults();
        handle.setFaults({});
        auto reply = versionRead();
        handle.setFaults(saved);
        return reply->bytes;
    }

    Bus bus;
    InstrumentHandle handle;
};

TEST_F(FaultsTest, SilentInstrumentNeitherAnswersNorActs) {
    switchOn([](Faults& f) { f.silent = true; });
    EXPECT_FALSE(send(bus, frame(kAddress, 255, 16)));
    EXPECT_FALSE(handle.keyboardLocked());
    EXPECT_EQ(bus.traffic().size(), 1u);
}

TEST_F(FaultsTest, DelayTravelsWithTheAnswer) {
    switchOn([](Faults& f) { f.answerDelay = std::chrono::milliseconds(250); });
    const auto reply = versionRead();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->delay, std::chrono::milliseconds(250));
}

TEST_F(FaultsTest, LostAnswersStillCarryOutTheCommand) {
    switchOn([](Faults& f) { f.dropNext = 1; });
    EXPECT_FALSE(send(bus, frame(kAddress, 255, 16)));
    EXPECT_TRUE(handle.keyboardLocked());
    EXPECT_TRUE(versionRead());
}

TEST_F(FaultsTest, EveryNthAnswerIsLost) {
    switchOn([](Faults& f) { f.dropEveryNth = 3; });
    std::string pattern;
    for (int i = 0; i < 6; ++i) {
        pattern += versionRead() ? 'a' : '-';
    }
    EXPECT_EQ(pattern, "aa-aa-");
}

TEST_F(FaultsTest, DamagedAnswers) {
    const auto good = goodVersionAnswer();

    switchOn([](Faults& f) { f.corruptChecksum = true; });
    auto damaged = good;
    damaged.back() = static_cast<std::uint8_t>(~damaged.back());
    EXPECT_EQ(versionRead()->bytes, damaged);
    const auto request = frame(kAddress, 255, 12);
    EXPECT_NE(send(bus, request)->bytes[1], request[3]) << "an acknowledgement no longer matches";

    switchOn([](Faults& f) { f.truncateBy = 2; });
    EXPECT_EQ(versionRead()->bytes, std::vector(good.begin(), good.end() - 2));

    switchOn([](Faults& f) { f.leadingGarbage = {0xFF, 0x00}; });
    auto withGarbage = good;
    withGarbage.insert(withGarbage.begin(), {0xFF, 0x00});
    EXPECT_EQ(versionRead()->bytes, withGarbage);
}

} // namespace
} // namespace zorvan::sim
