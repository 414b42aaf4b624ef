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
            longestGapMs_ = std::max(longestGapMs_, sinceTurn_.nsecsElapsed() / 1e6);
            sinceTurn_.start();
        });
    }
    void start() {
        sinceTurn_.start();
        timer_.start();
    }
    double longestGapMs() const { return longestGapMs_; }

private:
    QTimer timer_;
    QElapsedTimer sinceTurn_;
    double longestGapMs_ = 0.0;
};

} // namespace zorvan::soak
