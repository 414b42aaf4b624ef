#include "raw_client.h"
#include "sim/request.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>

namespace zorvan::sim {
namespace {

using namespace std::chrono_literals;
using testing::RawClient;
using testing::TempFolder;

const std::string kProgram = ZORVAN_SIM_PROGRAM;

TEST(ZorvanSimProgram, HelpListsEveryOptionAndSucceeds) {
    FILE* output = popen((kProgram + " --help").c_str(), "r");
    ASSERT_NE(output, nullptr);
    std::string text;
    char buffer[512];
    while (const std::size_t count = fread(buffer, 1, sizeof buffer, output)) {
        text.append(buffer, count);
    }
    const int status = pclose(output);

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    for (const char* option : {"--link", "--instrument", "--baud", "--fault", "--listen-master",
                               "--help", "silent", "delay=", "drop-every=", "drop-next=",
                               "bad-checksum", "truncate=", "garbage=", "flash-fail="}) {
        EXPECT_NE(text.find(option), std::string::npos) << option;
    }
}

TEST(ZorvanSimProgram, RefusesABadOption) {
    const int status = std::system((kProgram + " --baud slow 2>/dev/null").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
}

TEST(ZorvanSimProgram, ServesTheDefaultBusUntilTerminated) {
    TempFolder folder;
    const std::string link = folder.file("line");
    const std::string devNull = "/dev/null";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, devNull.c_str(), O_WRONLY, 0);
    std::vector<std::string> arguments{kProgram, "--link", link, "--fault", "11:silent"};
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, kProgram.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);

    for (int i = 0; i < 200 && !std::filesystem::exists(link); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    {
        RawClient client(link);
        ASSERT_TRUE(client.isOpen());
        ASSERT_TRUE(client.write(buildRequest(0x8A, 236, 3)));
        const auto answer = client.read(7, 2000ms);
        ASSERT_EQ(answer.size(), 7u);
        EXPECT_EQ(answer[3], 43);
        ASSERT_TRUE(client.write(buildRequest(0x8B, 236, 3)));
        EXPECT_TRUE(client.read(7, 300ms).empty()) << "instrument 11 was made silent";
    }

    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(std::filesystem::is_symlink(link));
}

TEST(ZorvanSimProgram, RecordsEachRequestWithTheTimeOfItsLastByte) {
    TempFolder folder;
    const std::string link = folder.file("line");
    const std::string recordPath = folder.file("record");
    std::vector<std::string> arguments{kProgram, "--link",   link,      "--baud",
                                       "9600",   "--record", recordPath};
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, kProgram.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    for (int i = 0; i < 200 && !std::filesystem::exists(link); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    {
        RawClient client(link);
        ASSERT_TRUE(client.isOpen());
        ASSERT_TRUE(client.write(buildRequest(0x8A, 236, 3)));
        ASSERT_EQ(client.read(7, 2000ms).size(), 7u);
        std::this_thread::sleep_for(100ms);
        ASSERT_TRUE(client.write(buildRequest(0x8B, 236, 3)));
        ASSERT_EQ(client.read(7, 2000ms).size(), 7u);
    }
    std::this_thread::sleep_for(200ms); // the record follows the line within a poll period
    std::ifstream file(recordPath);
    std::vector<std::pair<long, std::string>> lines;
    for (std::string line; std::getline(file, line);) {
        std::istringstream fields(line);
        long micros = -1;
        fields >> micros;
        std::string bytes;
        std::getline(fields, bytes);
        lines.emplace_back(micros, bytes);
    }
    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);

    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].second, " 8A EC 03 8D");
    EXPECT_EQ(lines[1].second, " 8B EC 03 26");
    EXPECT_GT(lines[0].first, 0);
    // The second request left at least 100 ms and one answer (7 bytes at 9600 bit/s) later.
    EXPECT_GE(lines[1].first - lines[0].first, 107'000);
}

} // namespace
} // namespace zorvan::sim
