// Waits of the workers end: a flag that never clears and a thread the system never gives are
// given up, and the work is reported failed instead of hanging its caller.
#include "link/device_state.h"
#include "link/line_flags.h"
#include "link/workers.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zorvan::link {
namespace {

using namespace std::chrono_literals;

TEST(BoundedWaits, AFlagThatStaysTakenIsGivenUpAndLeftToItsHolder) {
    std::atomic<bool> held{true};
    EXPECT_FALSE(takeFlag(held, 20ms));
    EXPECT_TRUE(held);
    EXPECT_FALSE(waitUntilClear({&held}, 20ms));
}

// The bytes of address space the process uses now.
long addressSpaceInUse() {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    return pages * ::sysconf(_SC_PAGESIZE);
}

// A key press once retried for ever when the system had no thread to give; now it is reported
// as a failed press, so the panel lets go of the pressed key.
TEST(BoundedWaits, KeyPressThatGetsNoThreadIsReportedFailed) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer reserves more address space than the limit leaves";
#else
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(10);
        std::atomic<bool> reported{false};
        WorkerReports reports;
        reports.keyPressFinished = [&](std::uint32_t) { reported = true; };
        setWorkerReports(reports);
        keyCommandFailed = false;
        // No room left for the stack of one more thread.
        const rlimit limit{static_cast<rlim_t>(addressSpaceInUse() + (1 << 20)), RLIM_INFINITY};
        ::setrlimit(RLIMIT_AS, &limit);
        StartKeyPress(kKeyT);
        ::_exit(reported && keyCommandFailed ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
#endif
}

} // namespace
} // namespace zorvan::link
