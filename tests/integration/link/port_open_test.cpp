// Opening the port: each failure has its own text and label geometry.
#include "link/com_port.h"
#include "link/device_state.h"
#include "tests/support/simulated_line.h"

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
    std::vector<PortMessage> messages;
};

Shown openNamed(const std::string& name, std::int32_t baud = 9600) {
    comPortName = name;
    baudRate = baud;
    Shown shown{};
    shown.opened = OpenComPort(200, [&](const PortMessage& m) { shown.messages.push_back(m); });
    CloseComPort();
    return shown;
}

void expectMessage(const Shown& shown, const std::string& text, int font, int top, int height) {
    EXPECT_FALSE(shown.opened);
    ASSERT_EQ(shown.messages.size(), 1u);
    EXPECT_EQ(shown.messages[0].text, text);
    EXPECT_EQ(shown.messages[0].fontSize, font);
    EXPECT_EQ(shown.messages[0].top, top);
    EXPECT_EQ(shown.messages[0].height, height);
}

TEST(PortOpen, EmptyNameIsReportedWithoutTryingTheSystem) {
    expectMessage(openNamed(""), "COM-порт не задан.", 14, 52, 40);
}

TEST(PortOpen, MissingPortNamesThePort) {
    expectMessage(openNamed("ttyNoSuchPort7"),
                  "Не могу открыть \"ttyNoSuchPort7\",\nтакого порта не существует.\n"
                  "Опрос не осуществляется.",
                  10, 37, 55);
}

TEST(PortOpen, PortHeldByAnotherProgramIsBusy) {
    SimulatedLine line;
    auto other = makeSerialPort();
    ASSERT_EQ(other->open(line.server->path()).status, OpenStatus::Opened);
    expectMessage(openNamed(line.server->path()),
                  "Не могу открыть \"" + line.server->path() +
                      "\",\nпорт занят.\nОпрос не осуществляется.",
                  10, 37, 55);
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
        auto port = makeSerialPort();
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
        return static_cast<int>(makeSerialPort()->open(device).status);
    });
    EXPECT_EQ(opened, static_cast<int>(OpenStatus::Opened));
}

TEST(PortOpen, OtherErrorsShowTheSystemCode) {
    const auto file = std::filesystem::temp_directory_path() / "zorvan-not-a-port";
    std::fclose(std::fopen(file.c_str(), "w"));
    // A plain file opens but is no terminal: the exclusive-use request fails with ENOTTY.
    expectMessage(openNamed(file.string()),
                  "Не могу открыть \"" + file.string() +
                      "\",\nкод ошибки: 25.\nОпрос не осуществляется.",
                  10, 38, 54);
    std::filesystem::remove(file);
}

TEST(PortOpen, UnsupportedSpeedLeavesTheLineUnset) {
    SimulatedLine line;
    expectMessage(openNamed(line.server->path(), 12345),
                  "Необходимые параметры\nпорта\"" + line.server->path() + "\"\nне установлены", 12,
                  36, 56);
}

TEST(PortOpen, NameWithoutSlashMeansADevice) {
    // "null" only exists as /dev/null; it is no terminal, so the code says it was found.
    expectMessage(openNamed("null"),
                  "Не могу открыть \"null\",\nкод ошибки: 25.\nОпрос не осуществляется.", 10, 38,
                  54);
}

} // namespace
} // namespace zorvan::link
