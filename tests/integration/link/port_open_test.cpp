// Opening the port: each failure is reported as its kind, with the port's name and the system's
// code.
#include "link/com_port.h"
#include "link/device_state.h"
#include "tests/support/simulated_line.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zorvan::link {
namespace {

using testing::SimulatedLine;

struct Shown {
    bool opened;
    std::vector<PortFailure> failures;
};

Shown openNamed(const std::string& name, std::int32_t baud = 9600) {
    comPortName = name;
    baudRate = baud;
    Shown shown{};
    shown.opened = OpenComPort(200, [&](const PortFailure& f) { shown.failures.push_back(f); });
    CloseComPort();
    return shown;
}

void expectFailure(const Shown& shown, PortFailureKind kind, const std::string& name,
                   int systemCode = 0) {
    EXPECT_FALSE(shown.opened);
    ASSERT_EQ(shown.failures.size(), 1u);
    EXPECT_EQ(shown.failures[0].kind, kind);
    EXPECT_EQ(shown.failures[0].portName, name);
    EXPECT_EQ(shown.failures[0].systemCode, systemCode);
}

TEST(PortOpen, EmptyNameIsReportedWithoutTryingTheSystem) {
    expectFailure(openNamed(""), PortFailureKind::NoName, "");
}

TEST(PortOpen, MissingPortNamesThePort) {
    expectFailure(openNamed("ttyNoSuchPort7"), PortFailureKind::NotFound, "ttyNoSuchPort7");
}

TEST(PortOpen, PortHeldByAnotherProgramIsBusy) {
    SimulatedLine line;
    auto other = makeSerialPort(line.server->path());
    ASSERT_EQ(other->open(line.server->path()).status, OpenStatus::Opened);
    expectFailure(openNamed(line.server->path()), PortFailureKind::Busy, line.server->path());
    other->close();
    EXPECT_TRUE(openNamed(line.server->path()).opened) << "free again once the other closed it";
}

// Runs `body` in a child process and returns its exit code, or -signal when a signal ended it.
template <typename Body> int inChild(Body body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// A port stayed "busy" for every later program of a normal user once its holder was killed:
// the hold must die with the holder.
TEST(PortOpen, PortOfAKilledHolderOpensAgainForAnUnprivilegedUser) {
    SimulatedLine line;
    const std::string device = line.server->devicePath();
    const int holder = inChild([&] {
        auto port = makeSerialPort(device);
        if (port->open(device).status == OpenStatus::Opened) {
            ::kill(::getpid(), SIGKILL);
        }
        return 1;
    });
    ASSERT_EQ(holder, -SIGKILL) << "the holder opened the port and was killed holding it";

    // The program runs as a normal user, whom the terminal's own exclusive mode would keep out.
    ASSERT_EQ(::chmod(device.c_str(), 0666), 0);
    const int opened = inChild([&] {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 && ::setuid(kNobody) != 0) {
            return 100;
        }
        return static_cast<int>(makeSerialPort(device)->open(device).status);
    });
    EXPECT_EQ(opened, static_cast<int>(OpenStatus::Opened));
}

TEST(PortOpen, OtherErrorsShowTheSystemCode) {
    const auto file = std::filesystem::temp_directory_path() / "zorvan-not-a-port";
    std::fclose(std::fopen(file.c_str(), "w"));
    // A plain file opens but is no terminal: the exclusive-use request fails with ENOTTY.
    expectFailure(openNamed(file.string()), PortFailureKind::OtherError, file.string(), ENOTTY);
    std::filesystem::remove(file);
}

TEST(PortOpen, UnsupportedSpeedLeavesTheLineUnset) {
    SimulatedLine line;
    expectFailure(openNamed(line.server->path(), 12345), PortFailureKind::SetupFailed,
                  line.server->path());
}

TEST(PortOpen, NameWithoutSlashMeansADevice) {
    // "null" only exists as /dev/null; it is no terminal, so the code says it was found.
    expectFailure(openNamed("null"), PortFailureKind::OtherError, "null", ENOTTY);
}

} // namespace
} // namespace zorvan::link
