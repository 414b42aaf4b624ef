#include "link/line_flags.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace zorvan::link {
namespace {

TEST(LineFlags, TwoTakersOfOneFlagNeverOverlap) {
    std::atomic<bool> flag{false};
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    std::vector<std::thread> workers;
    for (int i = 0; i < 4; ++i) {
        workers.emplace_back([&] {
            for (int round = 0; round < 50; ++round) {
                takeFlag(flag);
                if (inside.fetch_add(1) != 0) {
                    ++overlaps;
                }
                inside.fetch_sub(1);
                flag = false;
            }
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
    EXPECT_EQ(overlaps, 0);
}

TEST(LineFlags, WaitEndsWhenTheLastFlagClears) {
    std::atomic<bool> first{true};
    std::atomic<bool> second{true};
    std::thread clearer([&] {
        first = false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        second = false;
    });
    waitUntilClear({&first, &second});
    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
    clearer.join();
}

} // namespace
} // namespace zorvan::link
