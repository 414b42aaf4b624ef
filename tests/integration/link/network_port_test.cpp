// A port on another computer: the program's port opened as socket://HOST:PORT (raw TCP) and as
// rfc2217://HOST:PORT (Telnet) on Debian's ser2net, which serves simulated instruments on a
// pseudo-terminal.
#include "link/com_port.h"
#include "link/device_state.h"
#include "link/exchange.h"
#include "link/flash_write.h"
#include "tests/support/ser2net_server.h"
#include "tests/support/simulated_line.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

namespace zorvan::link {
namespace {

using namespace std::chrono_literals;
using testing::freePort;
using testing::NetworkPortKind;
using testing::request;
using testing::Ser2netServer;
using testing::SimulatedLine;

constexpr std::uint8_t kAddress = 10;
constexpr std::uint8_t kRead = 0x80;
constexpr std::uint8_t kLargeKind = 100;
constexpr int kTimeoutMs = 200;

class NetworkPort : public ::testing::TestWithParam<NetworkPortKind> {
protected:
    void SetUp() override {
        if (!testing::ser2netInstalled()) {
            GTEST_SKIP() << "ser2net is not installed";
        }
        line.add(kAddress, {10, kLargeKind, 5, 7});
        server = std::make_unique<Ser2netServer>(line.server->path(), port, GetParam());
        ASSERT_TRUE(server->start());
        comPortName = server->portName();
    }

    bool panelRead() { return ReadData(kRead | kAddress, 236, 4, answer); }

    SimulatedLine line;
    const std::uint16_t port = freePort();
    std::unique_ptr<Ser2netServer> server;
    std::uint8_t answer[16]{};
};

// On the line the instruments see exactly the frames a local port would have sent.
TEST_P(NetworkPort, ExchangesGoThroughTheServer) {
    ASSERT_TRUE(line.open(kTimeoutMs)) << line.failures.size();
    ASSERT_TRUE(panelRead());
    EXPECT_EQ(answer[3], kLargeKind);
    EXPECT_TRUE(SendCommand(kAddress, 255, 16));
    EXPECT_TRUE(line.instrument(kAddress).keyboardLocked());
    const std::vector<std::vector<std::uint8_t>> expected{request(kRead | kAddress, 236, 3),
                                                          request(kAddress, 255, 16)};
    EXPECT_EQ(line.frames(), expected);
}

// Telnet's escape byte 0xFF and its command bytes travel as data both ways: the pages go out
// and their page results and checksums come back through the server.
TEST_P(NetworkPort, FlashImageOfTelnetCommandBytesArrivesByteForByte) {
    ASSERT_TRUE(line.open(kTimeoutMs));
    std::vector<std::uint8_t> image(4 * kFlashPageBytes);
    const std::uint8_t telnetBytes[] = {0xFF, 0xFD, 0xFA, 0xF0, 0xFF, 0xFF, 0x2C, 0x00};
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = telnetBytes[(i + i / 7) % sizeof telnetBytes];
    }
    FlashWritePauses quickBurn;
    quickBurn.beforeResult = 1ms;
    const FlashWriteResult result = WriteFlashImage(kAddress, image, {}, nullptr, quickBurn);
    EXPECT_EQ(result.outcome, FlashWriteOutcome::Written);
    const auto memory = line.instrument(kAddress).inspect(
        [](const sim::Instrument& it) { return it.flash.bytes(); });
    ASSERT_GE(memory.size(), image.size());
    EXPECT_TRUE(std::equal(image.begin(), image.end(), memory.begin()));
}

bool portGone() {
    const std::lock_guard lock(comPortMutex);
    return comPortHandle->deviceGone();
}

// The server going away is the device gone: the poll closes the port and reopens it once the
// server is back. A listener notices by reading alone; the exchanges after it write into a reset
// connection, which must not raise SIGPIPE.
TEST_P(NetworkPort, StoppedServerIsDeviceGoneAndReopensOnceBack) {
    ASSERT_TRUE(line.open(kTimeoutMs));
    ASSERT_TRUE(panelRead());
    server->stop();
    std::uint8_t heard[11 + 7]{};
    EXPECT_FALSE(ListenData(kRead | kAddress, 149, 11, heard));
    EXPECT_TRUE(portGone());
    EXPECT_FALSE(panelRead());
    EXPECT_FALSE(SendCommand(kAddress, 255, 16));
    ASSERT_TRUE(CloseComPortIfGone());
    EXPECT_EQ(ReadyComPort(), PortReadiness::Lost);
    ASSERT_TRUE(server->start());
    EXPECT_EQ(ReadyComPort(), PortReadiness::Reopened);
    EXPECT_TRUE(panelRead());
}

// The server passes an answer on in pieces. Once garbage ahead of one answer has pushed the read
// out of step, the tail of each answer must not stay behind to become the head of the next.
TEST_P(NetworkPort, AnswersComeRightAgainAfterGarbageAheadOfOne) {
    ASSERT_TRUE(line.open(kTimeoutMs));
    sim::Faults garbage;
    garbage.leadingGarbage = {0x11, 0x22, 0x33};
    line.instrument(kAddress).setFaults(garbage);
    EXPECT_FALSE(panelRead());
    line.instrument(kAddress).setFaults({});
    int answered = 0;
    for (int i = 0; i < 5; ++i) {
        answered += panelRead() ? 1 : 0;
    }
    EXPECT_EQ(answered, 5);
}

TEST_P(NetworkPort, SecondClientIsBusy) {
    ASSERT_TRUE(line.open(kTimeoutMs));
    EXPECT_EQ(makeSerialPort(comPortName)->open(comPortName).status, OpenStatus::Busy);
    EXPECT_TRUE(panelRead()) << "the first client keeps its connection";
}

INSTANTIATE_TEST_SUITE_P(RawAndTelnet, NetworkPort,
                         ::testing::Values(NetworkPortKind::RawTcp, NetworkPortKind::Rfc2217),
                         [](const auto& info) {
                             return info.param == NetworkPortKind::RawTcp ? "Raw" : "Rfc2217";
                         });

speed_t ptySpeed(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    termios settings{};
    const bool read = fd >= 0 && ::tcgetattr(fd, &settings) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return read ? ::cfgetospeed(&settings) : B0;
}

// The server's port takes the speed the program asks for, whatever its own configuration says.
TEST(Rfc2217PortOpen, TheServersPortRunsAtTheSpeedAsked) {
    if (!testing::ser2netInstalled()) {
        GTEST_SKIP() << "ser2net is not installed";
    }
    SimulatedLine line;
    line.add(kAddress, {10, kLargeKind, 5, 7});
    Ser2netServer server(line.server->path(), freePort(), NetworkPortKind::Rfc2217, 9600);
    ASSERT_TRUE(server.start());
    comPortName = server.portName();
    for (const auto& [asked, expected] : {std::pair{19200, B19200}, std::pair{9600, B9600}}) {
        baudRate = asked;
        ASSERT_TRUE(line.open(kTimeoutMs)) << asked;
        EXPECT_EQ(ptySpeed(line.server->devicePath()), expected) << asked;
        CloseComPort();
    }
}

// A server that does not speak Telnet answers none of the line settings: after a bounded wait
// the port is reported as one whose settings were refused.
TEST(Rfc2217PortOpen, RawServerLeavesTheSettingsUnacknowledged) {
    if (!testing::ser2netInstalled()) {
        GTEST_SKIP() << "ser2net is not installed";
    }
    SimulatedLine line;
    Ser2netServer server(line.server->path(), freePort(), NetworkPortKind::RawTcp);
    ASSERT_TRUE(server.start());
    comPortName = testing::networkPortName(NetworkPortKind::Rfc2217, server.port());
    EXPECT_FALSE(line.open(kTimeoutMs));
    ASSERT_EQ(line.failures.size(), 1u);
    EXPECT_EQ(line.failures[0].kind, PortFailureKind::SetupFailed);
}

std::vector<PortFailure> openFailures(const std::string& name) {
    comPortName = name;
    std::vector<PortFailure> failures;
    OpenComPort(kTimeoutMs, [&](const PortFailure& failure) { failures.push_back(failure); });
    CloseComPort();
    return failures;
}

TEST(NetworkPortOpen, NameThatDoesNotResolveIsNotFound) {
    for (const std::string name :
         {"socket://no-such-host.invalid:2000", "rfc2217://no-such-host.invalid:2000"}) {
        const auto failures = openFailures(name);
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].kind, PortFailureKind::NotFound);
        EXPECT_EQ(failures[0].portName, name);
    }
}

TEST(NetworkPortOpen, PortNobodyListensOnIsRefused) {
    for (const auto kind : {NetworkPortKind::RawTcp, NetworkPortKind::Rfc2217}) {
        const auto failures = openFailures(testing::networkPortName(kind, freePort()));
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].kind, PortFailureKind::OtherError);
        EXPECT_EQ(failures[0].systemCode, ECONNREFUSED);
    }
}

} // namespace
} // namespace zorvan::link
