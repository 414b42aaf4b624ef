#include "link/bounded_call.h"

#include <future>
#include <gtest/gtest.h>

namespace zorvan::link {
namespace {

using Clock = std::chrono::steady_clock;

// A lookup stuck in the resolver is left behind at the deadline; its late result is dropped.
TEST(BoundedCall, GivesUpOnACallStillRunningAtTheDeadlineAndTakesOneThatReturned) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    const auto stuck = callBefore<int>(
        [released] {
            released.wait();
            return 1;
        },
        Clock::now() + std::chrono::milliseconds(20));
    EXPECT_EQ(stuck, std::nullopt);
    release.set_value();

    EXPECT_EQ(callBefore<int>([] { return 2; }, Clock::now() + std::chrono::seconds(10)), 2);
}

} // namespace
} // namespace zorvan::link
