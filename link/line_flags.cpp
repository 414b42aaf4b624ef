#include "link/line_flags.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace zorvan::link {

using namespace std::chrono_literals;

void takeFlag(std::atomic<bool>& flag) {
    while (flag.exchange(true, std::memory_order_acq_rel)) {
        std::this_thread::sleep_for(1ms);
    }
}

void waitUntilClear(std::initializer_list<const std::atomic<bool>*> flags) {
    while (std::any_of(flags.begin(), flags.end(), [](const auto* flag) { return flag->load(); })) {
        std::this_thread::sleep_for(1ms);
    }
}

} // namespace zorvan::link
