#include "sim/bus.h"
#include "sim/protocol.h"
#include "sim_frames.h"

#include <gtest/gtest.h>
#include <thread>

namespace zorvan::sim {
namespace {

using testing::command;
using testing::frame;
using testing::readData;
using testing::send;

constexpr VersionBytes kSmallKind{10, 43, 5, 7};
constexpr VersionBytes kLargeKind{10, 80, 1, 2};

TEST(Bus, AnswersADataReadInTheDataShape) {
    Bus bus;
    bus.addInstrument(10, kSmallKind);
    const std::vector<std::uint8_t> request{0x8A, 0xEC, 0x03, 0x8D};

    const auto reply = send(bus, request);

    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->bytes.size(), 4u + 3u);
    EXPECT_EQ(std::vector(reply->bytes.begin() + 2, reply->bytes.end() - 1),
              std::vector<std::uint8_t>(kSmallKind.begin(), kSmallKind.end()));
    EXPECT_EQ(reply->bytes.back(), frameChecksum(reply->bytes.data(), 6));
    EXPECT_EQ(reply->delay, std::chrono::milliseconds(0));
}

TEST(Bus, AcknowledgesAControlCommandWithTheRequestChecksum) {
    Bus bus;
    bus.addInstrument(10, kSmallKind);
    const auto request = frame(0x0A, 255, 12);

    const auto reply = send(bus, request);

    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->bytes.size(), 2u);
    EXPECT_EQ(reply->bytes[1], request[3]);
}

TEST(Bus, RefusesADataCountTheCommandTableDoesNotGive) {
    Bus bus;
    auto instrument = bus.addInstrument(10, kSmallKind);
    EXPECT_TRUE(readData(bus, 0x8A, 236, 3).empty());
    EXPECT_TRUE(readData(bus, 0x8A, 47, 8).empty());
    EXPECT_TRUE(readData(bus, 0xCA, 5, 1).empty()) << "the set value is two bytes";
    EXPECT_EQ(instrument.inspect([](const Instrument& i) { return i.refusedReads; }), 3);
    EXPECT_EQ(readData(bus, 0x8A, 236, 4).size(), 4u);
}

TEST(Bus, FlagsARequestThatStartsWithinTheQuietGapAfterAnAnswer) {
    Bus bus;
    bus.addInstrument(10, kSmallKind);
    const auto start = Clock::now();
    const auto panel = frame(0x8A, 47, 6);
    bus.receive(panel.data(), panel.size(), start);
    bus.answerSent(start + std::chrono::milliseconds(2));

    const auto early = frame(0x0A, 255, 12);
    bus.receive(early.data(), 2, start + std::chrono::milliseconds(16));
    bus.receive(early.data() + 2, 2, start + std::chrono::milliseconds(20));
    const auto late = frame(0x0A, 255, 16);
    bus.receive(late.data(), late.size(), start + std::chrono::milliseconds(47));

    const auto violations = bus.timingViolations();
    ASSERT_EQ(violations.size(), 1u) << "the gap ends with the first byte, not the last";
    EXPECT_EQ(violations[0].bytes, early);
    EXPECT_EQ(violations[0].gap, std::chrono::milliseconds(14));
    bus.clearTraffic();
    EXPECT_TRUE(bus.timingViolations().empty());
}

TEST(Bus, StrayBytesFollowTheAnswerOfAnInstrumentWithThatFault) {
    Bus bus;
    auto instrument = bus.addInstrument(10, kSmallKind);
    Faults faults;
    faults.strayBytes = {0x8A, 0x2F};
    faults.strayDelay = std::chrono::milliseconds(4);
    instrument.setFaults(faults);
    const auto request = frame(0x8A, 236, 3);

    const auto replies = bus.receive(request.data(), request.size(), Clock::now());

    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0].kind, Reply::Kind::Answer);
    EXPECT_EQ(replies[1].kind, Reply::Kind::Stray);
    EXPECT_EQ(replies[1].bytes, faults.strayBytes);
    EXPECT_EQ(replies[1].delay, faults.strayDelay);
}

TEST(Bus, DispatchesByAddressAndLeavesOtherAddressesSilent) {
    Bus bus;
    bus.addInstrument(10, kSmallKind);
    bus.addInstrument(11, kLargeKind);

    EXPECT_EQ(readData(bus, 0x8A, 236, 4)[1], 43);
    EXPECT_EQ(readData(bus, 0x8B, 236, 4)[1], 80);
    EXPECT_FALSE(send(bus, frame(0x8C, 236, 3)));
    EXPECT_FALSE(send(bus, frame(0x00, 254, 1))) << "address 0 is nobody";
    EXPECT_EQ(bus.traffic().size(), 4u) << "requests for nobody are recorded too";
}

TEST(Bus, KeepsAnUnknownCodeUnanswered) {
    Bus bus;
    bus.addInstrument(10, kSmallKind);
    EXPECT_FALSE(send(bus, frame(0x8A, 48, 6)));
    EXPECT_FALSE(send(bus, frame(0xCA, 7, 0)));
    EXPECT_FALSE(send(bus, frame(0x0A, 250, 0)));
}

TEST(Bus, RecordsEveryGoodRequestWithTheTimeOfItsLastByte) {
    Bus bus;
    bus.addInstrument(10, kSmallKind);
    const auto first = frame(0x8A, 47, 6);
    auto damaged = frame(0x0A, 253, 4);
    damaged[3] ^= 0xFF;
    const auto second = frame(0x0A, 255, 12);
    const auto start = Clock::now();

    bus.receive(first.data(), 2, start);
    bus.receive(first.data() + 2, 2, start + std::chrono::milliseconds(1));
    bus.receive(damaged.data(), damaged.size(), start + std::chrono::milliseconds(30));
    bus.receive(second.data(), second.size(), start + std::chrono::milliseconds(31));

    const auto traffic = bus.traffic();
    ASSERT_EQ(traffic.size(), 2u);
    EXPECT_EQ(traffic[0].bytes, first);
    EXPECT_EQ(traffic[0].at, start + std::chrono::milliseconds(1));
    EXPECT_EQ(traffic[1].bytes, second);
    bus.clearTraffic();
    EXPECT_TRUE(bus.traffic().empty());
}

TEST(Bus, WaitForTrafficReturnsOnceTheRequestsAreThere) {
    Bus bus;
    EXPECT_FALSE(bus.waitForTraffic(1, std::chrono::milliseconds(20)));

    std::thread master([&] {
        for (int i = 0; i < 3; ++i) {
            const auto request = frame(0x8A, 47, 6);
            bus.receive(request.data(), request.size(), Clock::now());
        }
    });
    EXPECT_TRUE(bus.waitForTraffic(3, std::chrono::seconds(10)));
    master.join();
}

TEST(Bus, SecondMasterPutsAHumiditySampleRequestAndItsAnswerOnTheLine) {
    Bus bus;
    bus.addInstrument(11, kLargeKind);

    const auto replies = bus.secondMasterExchange(11, Clock::now());

    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0].bytes, frame(0x8B, 149, 10));
    ASSERT_EQ(replies[1].bytes.size(), 11u + 3u);
    EXPECT_EQ(replies[1].bytes.back(), frameChecksum(replies[1].bytes.data(), 13));
    EXPECT_TRUE(bus.traffic().empty());
}

} // namespace
} // namespace zorvan::sim
