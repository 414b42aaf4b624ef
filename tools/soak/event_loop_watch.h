#pragma once

// The longest time the user-interface thread's event loop did not come round: a 1 ms timer
// whose turns should follow each other; any longer gap is time the user waited.

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

namespace zorvan::soak {

class EventLoopWatch {
public:
    EventLoopWatch() {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const double gapMs = sinceTurn_.nsecsElapsed() / 1e6;
            if (gapMs > longestGapMs_) {
                longestGapMs_ = gapMs;
                longestDuring_ = activity_;
            }
            sinceTurn_.start();
        });
    }
    void start() {
        sinceTurn_.start();
        timer_.start();
    }
    // What the user was doing, for the report of the longest gap.
    void setActivity(const char* activity) { activity_ = activity; }
    double longestGapMs() const { return longestGapMs_; }
    const char* longestGapDuring() const { return longestDuring_; }

private:
    QTimer timer_;
    QElapsedTimer sinceTurn_;
    double longestGapMs_ = 0.0;
    const char* activity_ = "";
    const char* longestDuring_ = "";
};

} // namespace zorvan::soak
