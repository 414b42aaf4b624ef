// A port on another computer: the program's port opened as socket://HOST:PORT on Debian's
// ser2net, which serves simulated instruments on a pseudo-terminal.
#include "link/com_port.h"
#include "link/device_state.h"
#include "link/exchange.h"
#include "link/socket_port.h"
#include "tests/support/simulated_line.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zorvan::link {
namespace {

using namespace std::chrono_literals;
using testing::request;
using testing::SimulatedLine;

constexpr char kSer2net[] = "/usr/sbin/ser2net";
constexpr std::uint8_t kAddress = 10;
constexpr std::uint8_t kRead = 0x80;
constexpr int kTimeoutMs = 200;

// A TCP port of this computer that nothing listens on, for a moment at least.
std::uint16_t freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

std::string socketName(std::uint16_t port) {
    return "socket://127.0.0.1:" + std::to_string(port);
}

// Whether the system lists a socket listening on the loopback port. Asked of the system, not by
// connecting: a probe client would take the server's one client slot for a while.
bool listening(std::uint16_t port) {
    char local[32];
    std::snprintf(local, sizeof local, "0100007F:%04X", port);
    std::ifstream table("/proc/net/tcp");
    std::string line;
    while (std::getline(table, line)) {
        constexpr char kListen[] = " 0A ";
        if (line.find(local) != std::string::npos && line.find(kListen) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// ser2net in the foreground, serving one pty as raw TCP on one loopback port.
class Ser2net {
public:
    Ser2net(const std::string& device, std::uint16_t port) : port_(port) {
        char folder[] = "/tmp/zorvan-ser2net-XXXXXX";
        folder_ = ::mkdtemp(folder);
        std::ofstream(folder_ / "ser2net.yaml")
            << "connection: &instruments\n"
            << "  accepter: tcp,127.0.0.1," << port << "\n"
            << "  connector: serialdev," << device << ",9600n81,local\n";
    }
    ~Ser2net() {
        stop();
        std::filesystem::remove_all(folder_);
    }

    // Starts it and waits until it listens; false when it does not.
    bool start() {
        const std::string config = (folder_ / "ser2net.yaml").string();
        const std::string log = (folder_ / "ser2net.log").string();
        pid_ = ::fork();
        if (pid_ == 0) {
            const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            ::dup2(out, STDOUT_FILENO);
            ::dup2(out, STDERR_FILENO);
            // -u: no UUCP lock file, which a killed server would leave behind.
            ::execl(kSer2net, "ser2net", "-n", "-u", "-c", config.c_str(), nullptr);
            ::_exit(127);
        }
        for (int i = 0; i < 500 && pid_ > 0; ++i) {
            if (listening(port_)) {
                return true;
            }
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                break;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    std::filesystem::path folder_;
    std::uint16_t port_;
    pid_t pid_ = -1;
};

class SocketPort : public ::testing::Test {
protected:
    void SetUp() override {
        if (::access(kSer2net, X_OK) != 0) {
            GTEST_SKIP() << "ser2net is not installed";
        }
        line.add(kAddress, {10, 43, 5, 7});
        server = std::make_unique<Ser2net>(line.server->path(), port);
        ASSERT_TRUE(server->start());
        comPortName = socketName(port);
    }

    bool panelRead() { return ReadData(kRead | kAddress, 236, 4, answer); }

    SimulatedLine line;
    const std::uint16_t port = freePort();
    std::unique_ptr<Ser2net> server;
    std::uint8_t answer[16]{};
};

TEST_F(SocketPort, ExchangesGoThroughTheServer) {
    ASSERT_TRUE(line.open(kTimeoutMs)) << line.failures.size();
    ASSERT_TRUE(panelRead());
    EXPECT_EQ(answer[3], 43);
    EXPECT_TRUE(SendCommand(kAddress, 255, 16));
    EXPECT_TRUE(line.instrument(kAddress).keyboardLocked());
    const std::vector<std::vector<std::uint8_t>> expected{request(kRead | kAddress, 236, 3),
                                                          request(kAddress, 255, 16)};
    EXPECT_EQ(line.frames(), expected);
}

bool portGone() {
    const std::lock_guard lock(comPortMutex);
    return comPortHandle->deviceGone();
}

// The server going away is the device gone: the poll closes the port and reopens it once the
// server is back. A listener notices by reading alone; the exchanges after it write into a reset
// connection, which must not raise SIGPIPE.
TEST_F(SocketPort, StoppedServerIsDeviceGoneAndReopensOnceBack) {
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

TEST_F(SocketPort, SecondClientIsBusy) {
    ASSERT_TRUE(line.open(kTimeoutMs));
    EXPECT_EQ(makeSerialPort(comPortName)->open(comPortName).status, OpenStatus::Busy);
    EXPECT_TRUE(panelRead()) << "the first client keeps its connection";
}

std::vector<PortFailure> openFailures(const std::string& name) {
    comPortName = name;
    std::vector<PortFailure> failures;
    OpenComPort(kTimeoutMs, [&](const PortFailure& failure) { failures.push_back(failure); });
    CloseComPort();
    return failures;
}

TEST(SocketPortOpen, NameThatDoesNotResolveIsNotFound) {
    const std::string name = "socket://no-such-host.invalid:2000";
    const auto failures = openFailures(name);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].kind, PortFailureKind::NotFound);
    EXPECT_EQ(failures[0].portName, name);
}

TEST(SocketPortOpen, PortNobodyListensOnIsRefused) {
    const std::string name = socketName(freePort());
    const auto failures = openFailures(name);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].kind, PortFailureKind::OtherError);
    EXPECT_EQ(failures[0].systemCode, ECONNREFUSED);
}

} // namespace
} // namespace zorvan::link
