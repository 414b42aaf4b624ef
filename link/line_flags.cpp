#include "link/line_flags.h"

#include <algorithm>
#include <thread>

namespace zorvan::link {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

bool takeFlag(std::atomic<bool>& flag, std::chrono::milliseconds bound) {
    const auto deadline = Clock::now() + bound;
    while (flag.exchange(true, std::memory_order_acq_rel)) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

bool waitUntilClear(std::initializer_list<const std::atomic<bool>*> flags,
                    std::chrono::milliseconds bound) {
    const auto deadline = Clock::now() + bound;
    while (std::any_of(flags.begin(), flags.end(), [](const auto* flag) { return flag->load(); })) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

std::unique_lock<std::mutex> takeLine(std::chrono::milliseconds bound) {
    std::unique_lock line(lineMutex, std::defer_lock);
    const auto deadline = Clock::now() + bound;
    while (!line.try_lock()) {
        if (Clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(1ms);
    }
    return line;
}

} // namespace zorvan::link
