// The link layer built for Windows, run under Wine by run-link-tests against the native
// zorvan-sim. Wine reaches the simulators through links in its prefix's dosdevices folder:
//   ZORVAN_WINE_PORT (COM7): the default bus, instrument 11 silent, paced at 9600 bit/s, every
//                            request it receives written to ZORVAN_WINE_RECORD with its time;
//   ZORVAN_WINE_LISTEN_PORT (COM8): a second master's exchange with instrument 10 once a second;
//   ZORVAN_WINE_SOCKET_PORT, ZORVAN_WINE_RFC2217_PORT: a native ser2net's raw TCP and RFC 2217
//                            ports for a third simulator's line, paced at 9600 bit/s, whose
//                            requests go to ZORVAN_WINE_NETWORK_RECORD; creating the file
//                            ZORVAN_WINE_SERVER_STOP has the server killed. Without them the
//                            network tests skip.
// Times between requests are taken from the simulator's record, so they are the line's own.
#include "link/answer_check.h"
#include "link/com_port.h"
#include "link/device_state.h"
#include "link/exchange.h"
#include "link/frame.h"
#include "link/port_list.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <winsock2.h>

namespace zorvan::link {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Frame = std::vector<std::uint8_t>;

constexpr std::uint8_t kAddress = 10;
constexpr std::uint8_t kSilentAddress = 11;
constexpr std::uint8_t kRead = 0x80;
constexpr int kTimeoutMs = 200;
// The pauses of an exchange from one request's last byte to the next request's last byte,
// when the answer is in before the first read attempt: the request's own wire time overlaps
// the pause before it.
constexpr double kPausesMs = 15 + 10 + 2;
// The same around a silent instrument: every read attempt waits out the time-out.
constexpr double kSilentMs = 15 + 10 + 10 * (2 + kTimeoutMs);

std::string environment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

const std::string kPort = environment("ZORVAN_WINE_PORT", "COM7");
const std::string kListenPort = environment("ZORVAN_WINE_LISTEN_PORT", "COM8");
const std::string kRecordPath = environment("ZORVAN_WINE_RECORD", "");
const std::string kSocketPort = environment("ZORVAN_WINE_SOCKET_PORT", "");
const std::string kRfc2217Port = environment("ZORVAN_WINE_RFC2217_PORT", "");
const std::string kNetworkRecordPath = environment("ZORVAN_WINE_NETWORK_RECORD", "");
const std::string kServerStopPath = environment("ZORVAN_WINE_SERVER_STOP", "");

struct RecordLine {
    double ms = 0;
    Frame bytes;
};

std::vector<RecordLine> readRecord(const std::string& path) {
    std::vector<RecordLine> lines;
    std::ifstream file(path);
    for (std::string text; std::getline(file, text);) {
        std::istringstream fields(text);
        long long micros = 0;
        fields >> micros;
        RecordLine line{static_cast<double>(micros) / 1000.0, {}};
        for (unsigned byte = 0; fields >> std::hex >> byte;) {
            line.bytes.push_back(static_cast<std::uint8_t>(byte));
        }
        lines.push_back(line);
    }
    return lines;
}

// The requests a simulator recorded after its first `start` ones, once there are `count` of them.
std::vector<RecordLine> requestsAfter(const std::string& path, std::size_t start,
                                      std::size_t count) {
    std::vector<RecordLine> lines;
    for (int wait = 0; wait < 100; ++wait) {
        lines = readRecord(path);
        if (lines.size() >= start + count) {
            break;
        }
        std::this_thread::sleep_for(20ms);
    }
    lines.erase(lines.begin(),
                lines.begin() + static_cast<std::ptrdiff_t>(std::min(start, lines.size())));
    return lines;
}

Frame requestFrame(std::uint8_t address, std::uint8_t code, std::uint8_t parameter) {
    const auto frame = buildRequest(address, code, parameter);
    return {frame.begin(), frame.end()};
}

// One figure for the note the test script prints: measured against nominal.
void report(const char* what, double measuredMs, double nominalMs) {
    std::printf("[ figure   ] %s: %.1f ms, nominal %.1f ms, ratio %.2f\n", what, measuredMs,
                nominalMs, measuredMs / nominalMs);
}

class WineLine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(kRecordPath.empty()) << "run through tests/windows/run-link-tests";
        comPortName = kPort;
        baudRate = 9600;
        keyCommandBusy = false;
        commandBusy = false;
        setLinePacing({});
        ASSERT_TRUE(
            OpenComPort(kTimeoutMs, [this](const PortFailure& f) { failures.push_back(f); }));
        recordStart = readRecord(kRecordPath).size();
    }

    void TearDown() override { CloseComPort(); }

    // The requests the simulator recorded since SetUp, once there are `count` of them.
    std::vector<RecordLine> newRequests(std::size_t count) {
        return requestsAfter(kRecordPath, recordStart, count);
    }

    std::vector<PortFailure> failures;
    std::size_t recordStart = 0;
    std::uint8_t answer[32]{};
};

TEST_F(WineLine, ExchangesOfEveryShapeReachTheInstrument) {
    ASSERT_TRUE(ReadData(kRead | kAddress, 236, 4, answer));
    EXPECT_EQ((Frame{answer + 2, answer + 6}), (Frame{10, 43, 5, 7}));
    EXPECT_EQ(answer[6], FrameChecksum(answer, 6));
    EXPECT_TRUE(SendCommand(kAddress, 255, 17));
    const std::uint8_t block[1] = {250};
    EXPECT_TRUE(WriteBlock(kAddress, 255, 1, block));

    const auto lines = newRequests(3);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].bytes, requestFrame(kRead | kAddress, 236, 3));
    EXPECT_EQ(lines[1].bytes, requestFrame(kAddress, 255, 17));
    EXPECT_EQ(lines[2].bytes, (Frame{kAddress, 255, 0, 250, lines[2].bytes.back()}));
    EXPECT_TRUE(failures.empty());
}

TEST_F(WineLine, ExchangesKeepTheirPausesOnTheLine) {
    constexpr int kExchanges = 6;
    for (int i = 0; i < kExchanges; ++i) {
        ASSERT_TRUE(ReadData(kRead | kAddress, 236, 4, answer)) << i;
    }
    const auto lines = newRequests(kExchanges);
    ASSERT_EQ(lines.size(), std::size_t{kExchanges});
    double shortest = 1e9;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        shortest = std::min(shortest, lines[i].ms - lines[i - 1].ms);
    }
    const double mean = (lines.back().ms - lines.front().ms) / (kExchanges - 1);
    report("gap between two answered exchanges (mean)", mean, kPausesMs);
    EXPECT_GE(shortest, kPausesMs - 1) << "a pause of the exchange is cut short";
}

TEST_F(WineLine, SilentInstrumentCostsTenAttemptsAndAWaitingCommandOne) {
    ASSERT_TRUE(ReadData(kRead | kAddress, 236, 4, answer));
    EXPECT_FALSE(ReadData(kRead | kSilentAddress, 47, 7, answer));
    ASSERT_TRUE(ReadData(kRead | kAddress, 236, 4, answer));
    keyCommandBusy = true;
    EXPECT_FALSE(SendCommand(kSilentAddress, 253, 4));
    keyCommandBusy = false;
    ASSERT_TRUE(ReadData(kRead | kAddress, 236, 4, answer));

    const auto lines = newRequests(5);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1].bytes, requestFrame(kRead | kSilentAddress, 47, 6));
    const double tenAttempts = lines[2].ms - lines[1].ms;
    const double oneAttempt = lines[4].ms - lines[3].ms;
    const double oneAttemptNominal = 15 + 10 + (2 + kTimeoutMs);
    report("silent read, ten attempts", tenAttempts, kSilentMs);
    report("silent command with a key command waiting, one attempt", oneAttempt, oneAttemptNominal);
    EXPECT_GE(tenAttempts, kSilentMs - 1) << "fewer than ten attempts, or shorter time-outs";
    // A loaded machine stalls Wine now and then by a few hundred milliseconds, so the bound
    // above leaves room for that rather than for exactly one attempt.
    EXPECT_LT(tenAttempts, kSilentMs * 1.25) << "more attempts, or reads outlasting the time-out";
    EXPECT_GE(oneAttempt, oneAttemptNominal - 1);
    EXPECT_LT(oneAttempt, kSilentMs / 2) << "the waiting command did not cut the attempts";
}

TEST(WineListen, ListenDataTakesTheSecondMastersExchange) {
    comPortName = kListenPort;
    baudRate = 9600;
    setLinePacing({});
    std::vector<PortFailure> failures;
    // Longer than the second master's period, so one attempt sees a whole exchange.
    ASSERT_TRUE(OpenComPort(1500, [&](const PortFailure& f) { failures.push_back(f); }));
    DiscardReceived(); // what the second master said before the port was open
    std::uint8_t buffer[11 + 7]{};
    const bool taken = ListenData(kRead | kAddress, 149, 11, buffer);
    CloseComPort();
    ASSERT_TRUE(taken);
    EXPECT_EQ(buffer[13], FrameChecksum(buffer, 13)) << "the answer is moved to the start";
}

TEST(WinePort, ReadWaitsOutItsTimeOutOrEndsWithTheWholeAnswer) {
    auto port = makeSerialPort(kPort);
    ASSERT_EQ(port->open(kPort).status, OpenStatus::Opened);
    ASSERT_TRUE(port->setLineFormat(9600));
    ASSERT_TRUE(port->setReadTimeout(300));
    port->purgeReceive();
    std::uint8_t bytes[16]{};
    auto start = Clock::now();
    EXPECT_EQ(port->read(bytes, 7), 0u);
    const double silentMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    report("read with nothing to read", silentMs, 300);
    EXPECT_GE(silentMs, 299);

    ASSERT_TRUE(port->setReadTimeout(3000));
    const auto request = buildRequest(kRead | kAddress, 236, 3);
    ASSERT_EQ(port->write(request.data(), request.size()), request.size());
    start = Clock::now();
    EXPECT_EQ(port->read(bytes, 7), 7u);
    const double answeredMs =
        std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    EXPECT_LT(answeredMs, 1500) << "the read waited beyond its last byte";
    EXPECT_EQ(bytes[3], 43);
}

TEST(WinePort, MissingAndBusyPortsAreToldApart) {
    std::vector<PortFailure> failures;
    const auto collect = [&](const PortFailure& f) { failures.push_back(f); };
    baudRate = 9600;
    comPortName = "COM99";
    EXPECT_FALSE(OpenComPort(kTimeoutMs, collect));
    comPortName = kPort;
    auto holder = makeSerialPort(kPort);
    ASSERT_EQ(holder->open(kPort).status, OpenStatus::Opened);
    EXPECT_EQ(makeSerialPort(kPort)->open(kPort).status, OpenStatus::Busy);
    EXPECT_FALSE(OpenComPort(kTimeoutMs, collect));
    holder->close();
    EXPECT_TRUE(OpenComPort(kTimeoutMs, collect)) << "a closed port is free again";
    CloseComPort();

    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].kind, PortFailureKind::NotFound);
    EXPECT_EQ(failures[0].portName, "COM99");
    EXPECT_EQ(failures[1].kind, PortFailureKind::Busy);
    EXPECT_EQ(failures[1].portName, kPort);
}

TEST(WinePort, PortListHasTheLinkedPortsHeldOrNot) {
    auto holder = makeSerialPort(kListenPort);
    ASSERT_EQ(holder->open(kListenPort).status, OpenStatus::Opened);
    const auto ports = listComPorts();
    const auto listed = [&](const std::string& name) {
        return std::find(ports.begin(), ports.end(), name) != ports.end();
    };
    EXPECT_TRUE(listed(kPort));
    EXPECT_TRUE(listed(kListenPort)) << "held open by this program";
    EXPECT_FALSE(listed("COM99"));
    EXPECT_TRUE(std::is_sorted(ports.begin(), ports.end(), [](const auto& a, const auto& b) {
        return std::stoi(a.substr(3)) < std::stoi(b.substr(3));
    }));
}

// The tests over ser2net. Its raw TCP and RFC 2217 ports share one line, which it lets go some
// 20 ms after a client leaves: until then a client of the other port is turned away as Busy.
class WineNetwork : public ::testing::Test {
protected:
    void SetUp() override {
        if (kSocketPort.empty() || kRfc2217Port.empty() || kServerStopPath.empty()) {
            GTEST_SKIP() << "no ser2net: run through tests/windows/run-link-tests";
        }
    }
    void TearDown() override { std::this_thread::sleep_for(100ms); }
};

// A panel read and a key press go through the server to the instrument, as the poll sends them.
void exchangeThroughServer(const std::string& portName) {
    comPortName = portName;
    baudRate = 9600;
    keyCommandBusy = false;
    commandBusy = false;
    setLinePacing({});
    std::vector<PortFailure> failures;
    ASSERT_TRUE(OpenComPort(kTimeoutMs, [&](const PortFailure& f) { failures.push_back(f); }))
        << "failure kind " << static_cast<int>(failures.at(0).kind) << ", system code "
        << failures.at(0).systemCode;
    const std::size_t recordStart = readRecord(kNetworkRecordPath).size();
    std::uint8_t answer[16]{};
    const bool read = ReadData(kRead | kAddress, 47, 7, answer);
    const bool pressed = SendCommand(kAddress, 253, 4);
    CloseComPort();
    EXPECT_TRUE(read);
    EXPECT_TRUE(pressed);
    const auto lines = requestsAfter(kNetworkRecordPath, recordStart, 2);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].bytes, requestFrame(kRead | kAddress, 47, 6));
    EXPECT_EQ(lines[1].bytes, requestFrame(kAddress, 253, 4));
    EXPECT_TRUE(failures.empty());
}

TEST_F(WineNetwork, PanelReadAndKeyPressGoThroughARawTcpServer) {
    exchangeThroughServer(kSocketPort);
}

TEST_F(WineNetwork, PanelReadAndKeyPressGoThroughAnRfc2217Server) {
    exchangeThroughServer(kRfc2217Port);
}

// The server takes one client: a second is told Busy, and what the server says to it while
// hanging up never reaches the first, whose reads wait out their time-out and then exchange.
TEST_F(WineNetwork, SecondClientIsBusyWhileTheFirstKeepsItsLine) {
    auto first = makeSerialPort(kSocketPort);
    ASSERT_EQ(first->open(kSocketPort).status, OpenStatus::Opened);
    EXPECT_EQ(makeSerialPort(kSocketPort)->open(kSocketPort).status, OpenStatus::Busy);
    ASSERT_TRUE(first->setReadTimeout(300));
    std::uint8_t bytes[16]{};
    auto start = Clock::now();
    EXPECT_EQ(first->read(bytes, 7), 0u);
    const double silentMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    report("read over TCP with nothing to read", silentMs, 300);
    EXPECT_GE(silentMs, 299);

    ASSERT_TRUE(first->setReadTimeout(3000));
    const auto request = buildRequest(kRead | kAddress, 236, 3);
    ASSERT_EQ(first->write(request.data(), request.size()), request.size());
    start = Clock::now();
    EXPECT_EQ(first->read(bytes, 7), 7u);
    const double answeredMs =
        std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    EXPECT_LT(answeredMs, 1500) << "the read waited beyond its last byte";
    EXPECT_EQ(bytes[3], 43);
}

// Defined last so that it runs last: the server stays dead. Its end is the device gone, noticed
// by reads alone, and a new connection is refused rather than left waiting.
TEST_F(WineNetwork, KilledServerIsDeviceGoneAndRefusesTheReopen) {
    auto port = makeSerialPort(kSocketPort);
    ASSERT_EQ(port->open(kSocketPort).status, OpenStatus::Opened);
    ASSERT_TRUE(port->setReadTimeout(kTimeoutMs));
    const auto request = buildRequest(kRead | kAddress, 236, 3);
    ASSERT_EQ(port->write(request.data(), request.size()), request.size());
    std::uint8_t bytes[16]{};
    ASSERT_EQ(port->read(bytes, 7), 7u);

    std::ofstream(kServerStopPath).put('\n');
    const auto stopped = Clock::now();
    for (int attempt = 0; attempt < 20 && !port->deviceGone(); ++attempt) {
        EXPECT_EQ(port->read(bytes, 7), 0u);
    }
    const double noticedMs =
        std::chrono::duration<double, std::milli>(Clock::now() - stopped).count();
    ASSERT_TRUE(port->deviceGone()) << "20 read time-outs after the server was killed";
    std::printf("[ figure   ] killed server noticed after %.1f ms\n", noticedMs);
    port->write(request.data(), request.size());
    EXPECT_EQ(port->read(bytes, 7), 0u);
    EXPECT_TRUE(port->deviceGone());

    port->close();
    const auto reopening = Clock::now();
    const OpenResult reopened = port->open(kSocketPort);
    const double refusedMs =
        std::chrono::duration<double, std::milli>(Clock::now() - reopening).count();
    EXPECT_EQ(reopened.status, OpenStatus::OtherError);
    EXPECT_EQ(reopened.systemCode, WSAECONNREFUSED);
    // The connect time-out is 3 s; Wine's loopback refuses at once.
    EXPECT_LT(refusedMs, 1000) << "the refusal was not seen: the connect waited out its time-out";
}

} // namespace
} // namespace zorvan::link
