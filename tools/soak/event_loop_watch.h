#pragma once

// The longest time the user-interface thread's event loop did not come round: a 1 ms timer
// whose turns should follow each other; any longer gap is time the user waited.
//
// Beside it a thread that does nothing but wake every millisecond: a stall it shares with the
// event loop was the machine's (the process was not run), not work of the program.

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace zorvan::soak {

class EventLoopWatch {
public:
    EventLoopWatch() {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const double gapMs = sinceTurn_.nsecsElapsed() / 1e6;
            if (gapMs > longestGapMs_) {
                longestGapMs_ = gapMs;
                longestGapEnd_ = Clock::now();
                longestDuring_ = activity_;
            }
            gapsOverHalfTheGoal_ += gapMs > 50.0 ? 1 : 0;
            sinceTurn_.start();
        });
    }
    void start() {
        startedAt_ = Clock::now();
        sinceTurn_.start();
        timer_.start();
    }
    // What the user was doing, for the report of the longest gap.
    void setActivity(const char* activity) { activity_ = activity; }
    double longestGapMs() const { return longestGapMs_; }
    const char* longestGapDuring() const { return longestDuring_; }
    long long longestGapAtS() const {
        return std::chrono::duration_cast<std::chrono::seconds>(longestGapEnd_ - startedAt_)
            .count();
    }
    // One long gap is the machine's doing as often as the program's; many point at the program.
    int gapsOver50Ms() const { return gapsOverHalfTheGoal_; }
    // How much of the longest gap the idle thread stalled too.
    double longestGapSharedMs() const {
        const auto from =
            longestGapEnd_ - std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double, std::milli>(longestGapMs_));
        Clock::duration shared{};
        const std::lock_guard lock(stallsMutex_);
        for (const auto& [stallFrom, stallTo] : idleStalls_) {
            shared =
                std::max(shared, std::min(longestGapEnd_, stallTo) - std::max(from, stallFrom));
        }
        return std::chrono::duration<double, std::milli>(shared).count();
    }

private:
    using Clock = std::chrono::steady_clock;

    void idle(std::stop_token stop) {
        using namespace std::chrono_literals;
        auto last = Clock::now();
        while (!stop.stop_requested()) {
            std::this_thread::sleep_for(1ms);
            const auto now = Clock::now();
            if (now - last > 20ms) {
                const std::lock_guard lock(stallsMutex_);
                idleStalls_.emplace_back(last, now);
            }
            last = now;
        }
    }

    QTimer timer_;
    QElapsedTimer sinceTurn_;
    double longestGapMs_ = 0.0;
    const char* activity_ = "";
    const char* longestDuring_ = "";
    int gapsOverHalfTheGoal_ = 0;
    Clock::time_point startedAt_;
    Clock::time_point longestGapEnd_;
    mutable std::mutex stallsMutex_;
    std::vector<std::pair<Clock::time_point, Clock::time_point>> idleStalls_;
    std::jthread idleThread_{[this](std::stop_token stop) { idle(stop); }}; // last: uses the above
};

} // namespace zorvan::soak
