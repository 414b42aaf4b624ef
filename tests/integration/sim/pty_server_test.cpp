#include "raw_client.h"
#include "sim/protocol.h"
#include "sim/pty_server.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace zorvan::sim {
namespace {

using namespace std::chrono_literals;
using testing::RawClient;
using testing::TempFolder;

constexpr auto kAnswerTimeout = 2000ms;

bool linkExists(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
}

class PtyServerTest : public ::testing::Test {
protected:
    PtyServerTest() {
        bus.addInstrument(10, {10, 43, 5, 7});
        bus.addInstrument(11, {10, 80, 1, 2});
    }

    std::unique_ptr<PtyServer> startServer(PtyServerOptions options = {}) {
        options.linkPath = linkPath;
        auto server = PtyServer::start(bus, options);
        EXPECT_TRUE(server) << std::strerror(errno);
        return server;
    }

    TempFolder folder;
    const std::string linkPath = folder.file("line");
    Bus bus;
};

TEST_F(PtyServerTest, AnswersARequestThroughTheLink) {
    auto server = startServer();
    ASSERT_TRUE(server);
    EXPECT_EQ(server->path(), linkPath);
    EXPECT_EQ(std::filesystem::read_symlink(linkPath).string(), server->devicePath());

    RawClient client(server->path());
    ASSERT_TRUE(client.isOpen());
    const std::vector<std::uint8_t> versionRead{0x8A, 0xEC, 0x03, 0x8D};
    ASSERT_TRUE(client.write(versionRead));
    const auto answer = client.read(7, kAnswerTimeout);

    ASSERT_EQ(answer.size(), 7u);
    EXPECT_EQ(std::vector(answer.begin() + 2, answer.end() - 1),
              (std::vector<std::uint8_t>{10, 43, 5, 7}));
    EXPECT_EQ(answer.back(), frameChecksum(answer.data(), 6));
}

TEST_F(PtyServerTest, RecordsTheExactTrafficWithTimestamps) {
    auto server = startServer();
    ASSERT_TRUE(server);
    RawClient client(server->path());
    const std::vector<std::vector<std::uint8_t>> requests{
        buildRequest(0x8A, 47, 6), buildRequest(0x8C, 47, 6), buildRequest(0x0B, 255, 16)};
    const auto before = Clock::now();
    for (const auto& request : requests) {
        ASSERT_TRUE(client.write(request));
        client.read(request[0] & 0x80 ? 10 : 2, 100ms);
    }

    ASSERT_TRUE(server->waitForTraffic(requests.size(), kAnswerTimeout));
    const auto traffic = server->traffic();
    ASSERT_EQ(traffic.size(), requests.size());
    for (std::size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(traffic[i].bytes, requests[i]);
        EXPECT_GE(traffic[i].at, i == 0 ? before : traffic[i - 1].at);
        EXPECT_LE(traffic[i].at, Clock::now());
    }
    EXPECT_TRUE(bus.instrument(11).keyboardLocked());
    server->clearTraffic();
    EXPECT_TRUE(server->traffic().empty());
}

TEST_F(PtyServerTest, PacedAnswerTakesItsWireTime) {
    PtyServerOptions options;
    options.baud = 9600;
    auto server = startServer(options);
    ASSERT_TRUE(server);
    RawClient client(server->path());

    const auto start = Clock::now();
    ASSERT_TRUE(client.write(buildRequest(0x8A, 47, 6)));
    const auto answer = client.read(10, kAnswerTimeout);
    const auto elapsed = Clock::now() - start;

    ASSERT_EQ(answer.size(), 10u);
    // 4 request bytes and 10 answer bytes of 10 bits at 9600 bit/s take 14.6 ms.
    EXPECT_GE(elapsed, 12ms);
    ASSERT_TRUE(server->waitForTraffic(1, kAnswerTimeout));
    EXPECT_GE(server->traffic()[0].at - start, 3ms) << "the request arrives after its 4 bytes";
}

TEST_F(PtyServerTest, DelayedAnswerArrivesNoEarlierThanItsDelay) {
    bus.instrument(10).update([](Instrument& i) { i.faults.answerDelay = 150ms; });
    auto server = startServer();
    ASSERT_TRUE(server);
    RawClient client(server->path());

    const auto start = Clock::now();
    ASSERT_TRUE(client.write(buildRequest(0x0A, 255, 12)));
    EXPECT_EQ(client.read(2, kAnswerTimeout).size(), 2u);
    EXPECT_GE(Clock::now() - start, 150ms);
}

TEST_F(PtyServerTest, VanishHangsUpAndRestoreBringsANewPortAtTheSameLink) {
    auto server = startServer();
    ASSERT_TRUE(server);
    RawClient before(server->path());
    ASSERT_TRUE(before.isOpen());

    server->vanish();
    EXPECT_TRUE(server->vanished());
    EXPECT_TRUE(before.seesHangUp(kAnswerTimeout));
    EXPECT_FALSE(linkExists(linkPath));

    ASSERT_TRUE(server->restore());
    EXPECT_FALSE(server->vanished());
    EXPECT_EQ(std::filesystem::read_symlink(linkPath).string(), server->devicePath());
    RawClient after(linkPath);
    ASSERT_TRUE(after.isOpen());
    ASSERT_TRUE(after.write(buildRequest(0x8B, 236, 3)));
    EXPECT_EQ(after.read(7, kAnswerTimeout).size(), 7u);
}

TEST_F(PtyServerTest, ListenMasterPutsRequestAndAnswerOnTheLine) {
    PtyServerOptions options;
    options.listenMasterAddress = 11;
    options.listenMasterPeriod = 50ms;
    auto server = startServer(options);
    ASSERT_TRUE(server);
    RawClient client(server->path());

    const auto line = client.read(4 + 14, kAnswerTimeout);

    ASSERT_EQ(line.size(), 18u);
    EXPECT_EQ(std::vector(line.begin(), line.begin() + 4), buildRequest(0x8B, 149, 10));
    EXPECT_EQ(line.back(), frameChecksum(line.data() + 4, 13));
    EXPECT_TRUE(server->traffic().empty()) << "the second master's request is not ours";
}

TEST_F(PtyServerTest, StoppingRemovesTheLink) {
    auto server = startServer();
    ASSERT_TRUE(server);
    EXPECT_TRUE(linkExists(linkPath));
    server.reset();
    EXPECT_FALSE(linkExists(linkPath));
}

TEST_F(PtyServerTest, RefusesToReplaceAFileAtTheLinkPath) {
    { std::ofstream file(linkPath); }
    PtyServerOptions options;
    options.linkPath = linkPath;
    EXPECT_FALSE(PtyServer::start(bus, options));
    EXPECT_TRUE(std::filesystem::is_regular_file(linkPath));
}

} // namespace
} // namespace zorvan::sim
